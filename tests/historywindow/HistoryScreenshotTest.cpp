// Pictures of the window with a realistic evening of plays, saved into the build folder as
// screens/history*.png for a person to look at. They assert only that the pictures were written.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTableView>

#include <gtest/gtest.h>

using namespace HistoryFixtures;

TEST(HistoryScreenshot, SampleEvening)
{
    const char *tracks[][2] = {
        {"So What", "Miles Davis"},
        {"Teardrop", "Massive Attack"},
        {"Hoppípolla", "Sigur Rós"},
        {"Gymnopédie No. 1", "Pascal Rogé"},
    };
    // Each way a play can go, over a rotating list of tracks.
    QList<Entry> kinds = {
        play({}, {}, 44100, "learned", 44100, std::nullopt, "lossless", 820),
        play({}, {}, 96000, "library/pinned", 96000, std::nullopt, "hires"),
        play({}, {}, 48000, "catalog/tags+ladder", 48000, "learned", "hires", 1350),
        play({}, {}, 44100, "catalog/tags-guess", 96000, "rewritten", "hires", 2100),
        play({}, {}, 192000, "file", 192000),
        play({}, {}, 88200, "album", 88200, "learned", "hires", 950),
        play({}, {}, 48000, "catalog/derived", 44100, "rewritten", "lossless", 4900),
        corrected(play({}, {}, 44100, "learned", 44100, "learned", "lossless", 1100)),
        play({}, {}, std::nullopt, std::nullopt, 44100, "learned", "aac", 3999),
        play({}, {}, 96000, "learned", std::nullopt, std::nullopt, "hires"),
    };
    kinds[8].note = "Corvane Mac Remote was not paired";
    ModelHarness harness;
    for (int i = 0; i < 30; ++i) {
        Entry entry = kinds[i % kinds.size()];
        entry.id = QUuid::createUuid();
        entry.title = QString::fromUtf8(tracks[i % std::size(tracks)][0]);
        entry.artist = QString::fromUtf8(tracks[i % std::size(tracks)][1]);
        entry.at = minutesAfterNoon(i * 4).addSecs(i * 11);
        harness.switcher().history().append(entry);
    }
    PlaybackHistoryWindow window(*harness.model);
    window.resize(960, 520);
    window.show();
    window.table()->selectRow(2);
    const QDir folder(QDir(QCoreApplication::applicationDirPath()).filePath("../screens"));
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    const auto save = [&](const char *name) {
        QCoreApplication::processEvents();
        EXPECT_TRUE(window.grab().save(folder.filePath(name))) << name;
    };
    save("history.png");
    harness.switcher().history().clear();
    save("history-empty.png");
}
