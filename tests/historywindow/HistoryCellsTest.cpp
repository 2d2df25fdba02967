// The cells of a play as both windows write them, which ones turn orange, the History window's
// hover notes, and its column widths.

#include "Common/DateTimeText.h"
#include "HistoryFixtures.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>
#include <numeric>

using namespace HistoryFixtures;
using Model = PlaybackHistoryTableModel;
using Tone = Model::Tone;

// One play as each window writes it: the History window's date and time, the Rate Library's
// time of day, and the same words elsewhere. The play started long after it was predicted: the
// Time cells show the prediction's time.
TEST(PlayCells, aPlayAsEachWindowWritesIt)
{
    using C = PlayCells::Column;
    using W = PlayCells::Writing;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    Entry entry =
        play("Teardrop", "Massive Attack", 96000, "catalog/tags+ladder", 48000, std::nullopt, "hires", 3999);
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(21, 5), QTimeZone::utc());
    entry.playedAt = QDateTime(QDate(2026, 3, 2), QTime(8, 40), QTimeZone::utc());
    Entry bare = play("Takk", "Sigur Rós", std::nullopt, std::nullopt, std::nullopt);
    bare.tier.reset();
    bare.at = QDateTime();
    const struct {
        const Entry &entry;
        C column;
        QString history, rateLibrary;
    } cells[] = {
        {entry, C::time, QString::fromUtf8("Mar 1, 2026, 9:05\u202fPM"), QString::fromUtf8("9:05\u202fPM")},
        {entry, C::track, "Teardrop", "Teardrop"},
        {entry, C::setting, "Hi-Res", "Hi-Res"},
        {entry, C::predicted, "96 kHz", "96 kHz"},
        {entry, C::from, "4 · Apple’s catalog", "4 · Apple’s catalog"},
        {entry, C::played, "48 kHz", "48 kHz"},
        {entry, C::load, "4.0 s", "4.0 s"},
        {entry, C::outcome, "Played at another rate", "Played at another rate"},
        {bare, C::time, "—", "—"},
        {bare, C::setting, "—", "—"},
        {bare, C::predicted, "—", "—"},
        {bare, C::from, "no prediction", "no prediction"},
        {bare, C::played, "—", "—"},
        {bare, C::load, "—", "—"},
        {bare, C::outcome, "No prediction", "No prediction"},
    };
    for (const auto &cell : cells) {
        SCOPED_TRACE(cell.entry.title.toStdString() + ", column " + std::to_string(int(cell.column)));
        EXPECT_EQ(PlayCells::text(cell.column, cell.entry, W::history), cell.history);
        EXPECT_EQ(PlayCells::text(cell.column, cell.entry, W::rateLibrary, english), cell.rateLibrary);
    }
    // The note stands in for a missing prediction; a prediction's step comes first.
    bare.note = "Companion not paired";
    EXPECT_EQ(PlayCells::text(C::from, bare, W::history), "Companion not paired");
    bare.predictedRate = 88200;
    bare.source = "library/pinned";
    EXPECT_EQ(PlayCells::text(C::from, bare, W::rateLibrary), "1 · Fixed rate (pin)");
    bare.source = "catalog/mystery"; // a step this version does not know: missing, not blank
    EXPECT_EQ(PlayCells::text(C::from, bare, W::history), "—");
    EXPECT_EQ(PlayCells::text(C::from, bare, W::rateLibrary), "—");
}

TEST(PlayCells, orangeMarksASlowLoadAndAPlayThatDidNotGoAsPredicted)
{
    using C = PlayCells::Column;
    Entry entry = play("t", "a", 44100, "learned", 44100, std::nullopt, "lossless", 3999);
    const auto tones = [&] {
        return QList<Tone>({PlayCells::tone(C::predicted, entry), PlayCells::tone(C::from, entry),
                            PlayCells::tone(C::played, entry), PlayCells::tone(C::load, entry),
                            PlayCells::tone(C::outcome, entry)});
    };
    EXPECT_EQ(tones(),
              QList<Tone>({Tone::primary, Tone::secondary, Tone::primary, Tone::secondary, Tone::secondary}));
    entry.musicStartMs = 4000;
    entry.corrected = true; // a relock alone leaves the played rate as it was
    EXPECT_EQ(tones(),
              QList<Tone>({Tone::primary, Tone::secondary, Tone::primary, Tone::orange, Tone::orange}));
    entry.playedRate = 48000;
    entry.corrected = false;
    EXPECT_EQ(tones(),
              QList<Tone>({Tone::primary, Tone::secondary, Tone::orange, Tone::orange, Tone::orange}));
    entry.outcomeRate = 44100; // it settled at the predicted rate after all
    EXPECT_EQ(tones(),
              QList<Tone>({Tone::primary, Tone::secondary, Tone::primary, Tone::orange, Tone::secondary}));
}

TEST(HistoryCells, TimeIsMediumDateAndShortTimeInTheUsersLocaleAndZone)
{
    const QDateTime at(QDate(2026, 3, 1), QTime(15, 7), QTimeZone::utc());
    EXPECT_EQ(DateTimeText::mediumDateShortTime(at, "de_DE", "Europe/Berlin"), "01.03.2026, 16:07");
}

TEST(HistoryCells, ColumnsShareSpaceWithinTheirBoundsAndNeverCutWhatTheirTextsNeed)
{
    int ideal = 0;
    for (const auto &spec : Model::columns)
        ideal += spec.ideal;
    // Nothing measured, then a font whose times need more than the Time column's usual maximum
    // and whose "Setting" header would like more than the column's ideal.
    Model::MeasuredColumns wideTimes{};
    wideTimes[Model::time].needed = 175;
    wideTimes[Model::setting].preferred = 90;
    for (const auto &measured : {Model::MeasuredColumns{}, wideTimes}) {
        int least = 0;
        for (int i = 0; i < Model::columnTotal; ++i)
            least += Model::boundsFor(i, measured[i]).minimum;
        EXPECT_EQ(least, 860 - 110 + std::max(110, measured[Model::time].needed)); // every minimum
        for (int available : {0, 700, 900, ideal, 1400, 4000}) {
            const auto widths = Model::columnWidths(available, measured);
            for (int i = 0; i < Model::columnTotal; ++i) {
                EXPECT_GE(widths[i], std::max(Model::columns[i].minimum, measured[i].needed))
                    << available << ", column " << i;
                if (Model::columns[i].maximum > 0) {
                    EXPECT_LE(widths[i], Model::boundsFor(i, measured[i]).maximum)
                        << available << ", column " << i;
                }
            }
            EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), std::max(available, least))
                << available;
        }
    }
    EXPECT_EQ(Model::columnWidths(4000, wideTimes)[Model::time], 175) << "no wider than its texts need";
    EXPECT_EQ(Model::columnWidths(ideal + 10, wideTimes)[Model::setting], 90)
        << "the header while there is room";
}

// Every Load cell explains itself, a blank one most of all; a From cell shows the play's note.
TEST(HistoryCells, TableModelIsWellBehavedAndItsHoverNotesExplain)
{
    const QString loadHelp = QString::fromUtf8(
        "How long Music.app took to start the track after Corvane asked for it — a pick, or the next "
        "track after a Stop to Switch change. Blank: a gapless advance, which Music.app had already "
        "loaded.");
    Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Entry slow = play("Slow", "Artist", 44100, "learned", 48000, std::nullopt, "lossless", 5200);
    slow.note = "Companion not paired";
    model.setEntries({slow, play("Quick", "Other", std::nullopt, std::nullopt, 44100)});
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, Model::load).data(Model::toneRole).toInt(), int(Tone::orange));
    EXPECT_EQ(model.index(1, Model::track).data().toString(), "Quick");
    const auto help = [&](int row, int column) { return model.index(row, column).data(Qt::ToolTipRole); };
    EXPECT_EQ(help(0, Model::load), loadHelp);
    EXPECT_EQ(help(1, Model::load), loadHelp) << "with no load";
    EXPECT_EQ(model.headerData(Model::load, Qt::Horizontal, Qt::ToolTipRole), loadHelp);
    EXPECT_EQ(help(0, Model::from), "Companion not paired") << "beside the step it names";
    EXPECT_FALSE(help(1, Model::from).isValid());
    EXPECT_FALSE(help(0, Model::played).isValid());
    model.setEntries({});
    EXPECT_EQ(model.rowCount(), 0);
}
