// A picture of the window with a realistic evening of plays, saved into the build folder as
// screens/history.png for a person to look at. It asserts only that the picture was written.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTableView>

#include <gtest/gtest.h>

using namespace HistoryFixtures;

namespace {

struct Track {
    const char *title;
    const char *artist;
    const char *album;
};

const Track tracks[] = {
    {"So What", "Miles Davis", "Kind of Blue"},
    {"Blue in Green", "Miles Davis", "Kind of Blue"},
    {"Teardrop", "Massive Attack", "Mezzanine"},
    {"Angel", "Massive Attack", "Mezzanine"},
    {"Hyperballad", "Björk", "Post"},
    {"Jóga", "Björk", "Homogenic"},
    {"Windowlicker", "Aphex Twin", "Windowlicker"},
    {"Avril 14th", "Aphex Twin", "Drukqs"},
    {"Svefn-g-englar", "Sigur Rós", "Ágætis byrjun"},
    {"Hoppípolla", "Sigur Rós", "Takk…"},
    {"Everything In Its Right Place", "Radiohead", "Kid A"},
    {"Pyramid Song", "Radiohead", "Amnesiac"},
    {"Clair de lune", "Claudio Arrau", "Debussy: Préludes"},
    {"Gymnopédie No. 1", "Pascal Rogé", "Satie: Piano Works"},
};

QList<Entry> eveningOfPlays()
{
    QList<Entry> plays;
    const auto add = [&](int track, std::optional<double> predicted, std::optional<QString> source,
                         std::optional<double> played, std::optional<QString> outcome, const char *tier,
                         std::optional<qint64> loadMs) {
        const Track &t = tracks[track % std::size(tracks)];
        Entry entry = play(QString::fromUtf8(t.title), QString::fromUtf8(t.artist), predicted,
                           std::move(source), played, std::move(outcome));
        entry.album = QString::fromUtf8(t.album);
        entry.tier = QString::fromUtf8(tier);
        entry.musicStartMs = loadMs;
        entry.codec = QStringLiteral("alac");
        plays.append(entry);
        return plays.size() - 1;
    };
    for (int round = 0; round < 3; ++round) {
        add(0 + round, 44100, "learned", 44100, std::nullopt, "lossless", 820 + round * 40);
        add(1 + round, 96000, "library/pinned", 96000, std::nullopt, "hires", std::nullopt);
        add(2 + round, 48000, "catalog/tags+ladder", 48000, "learned", "hires", 1350);
        add(3 + round, 44100, "catalog/tags-guess", 96000, "rewritten", "hires", 2100 - round * 300);
        add(4 + round, 192000, "file", 192000, std::nullopt, "lossless", std::nullopt);
        add(5 + round, 88200, "album", 88200, "learned", "hires", 950);
        add(6 + round, 44100, "imported", 44100, std::nullopt, "lossless", 760);
        add(7 + round, 48000, "catalog/derived", 44100, "rewritten", "lossless", 4000 + round * 900);
        const int corrected = add(8 + round, 44100, "learned", 44100, "learned", "lossless", 1100);
        plays[corrected].corrected = true;
        const int noPrediction = add(9 + round, std::nullopt, std::nullopt, 44100, "learned", "aac", 3999);
        plays[noPrediction].note = QStringLiteral("Corvane Mac Remote was not paired");
        add(10 + round, 96000, "learned", std::nullopt, std::nullopt, "hires", std::nullopt);
        add(11 + round, std::nullopt, std::nullopt, 48000, std::nullopt, "unknown", 5600);
        const int settled = add(12 + round, 96000, "catalog/tags+ladder", 48000, "learned", "hires", 1800);
        plays[settled].outcomeRate = 96000; // the lossy opening step played 48 kHz
    }
    plays = inOrder(plays);
    for (int i = 0; i < plays.size(); ++i)
        plays[i].at = plays[i].at.addSecs(qint64(i) * 191);
    return plays;
}

} // namespace

TEST(HistoryScreenshot, SampleEvening)
{
    ModelHarness harness;
    for (const Entry &entry : eveningOfPlays())
        harness.switcher().history().append(entry);
    PlaybackHistoryWindow window(*harness.model);
    window.resize(960, 520);
    window.show();
    window.table()->selectRow(2);
    QCoreApplication::processEvents();

    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screens"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QPixmap picture = window.grab();
    EXPECT_EQ(picture.size(), QSize(960, 520));
    EXPECT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("history.png"))));

    window.setSearch(QStringLiteral("nothing like it"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.grab().save(QDir(folder).filePath(QStringLiteral("history-nothing-matches.png"))));
    harness.switcher().history().clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.grab().save(QDir(folder).filePath(QStringLiteral("history-empty.png"))));
}
