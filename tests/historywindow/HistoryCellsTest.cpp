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
}

TEST(HistoryCells, EveryLoadCellExplainsItselfAndAFromCellShowsTheNote)
{
    const QString help = QString::fromUtf8(
        "How long Music.app took to start the track after Corvane asked for it — a pick, or the next "
        "track after a Stop to Switch change. Blank: a gapless advance, which Music.app had already "
        "loaded.");
    Entry entry = play("t", "a", 44100, "learned", 44100);
    entry.musicStartMs = 3999;
    EXPECT_EQ(Model::cellHelp(Model::load, entry), help);
    entry.musicStartMs.reset();
    EXPECT_EQ(Model::cellHelp(Model::load, entry), help) << "a blank load is the one that needs it most";
    EXPECT_EQ(Model::headerHelp(Model::load), help);
    EXPECT_FALSE(Model::cellHelp(Model::played, entry));
    EXPECT_FALSE(Model::cellHelp(Model::from, entry));
    // With a prediction the step shows, and the note is still there on hover.
    entry.note = "Companion not paired";
    EXPECT_EQ(Model::cellHelp(Model::from, entry), "Companion not paired");
}

TEST(HistoryCells, TimeIsMediumDateAndShortTime)
{
    const QDateTime at(QDate(2026, 3, 1), QTime(15, 7), QTimeZone::utc());
    EXPECT_EQ(DateTimeText::mediumDateShortTime(at, "en_US", "UTC"),
              QString::fromUtf8("Mar 1, 2026, 3:07\u202fPM"));
    EXPECT_EQ(DateTimeText::mediumDateShortTime(at, "de_DE", "Europe/Berlin"), "01.03.2026, 16:07");
    // The samples the column is sized by: every month, with a two-digit day and hour.
    const QStringList widest = Model::widestTexts(Model::time);
    EXPECT_EQ(widest.size(), 24);
    EXPECT_TRUE(
        widest.contains(DateTimeText::mediumDateShortTime(QDateTime(QDate(2026, 12, 26), QTime(22, 44)))));
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

TEST(HistoryCells, TableModelIsWellBehaved)
{
    Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setEntries({play("Slow", "Artist", 44100, "learned", 48000, std::nullopt, "lossless", 5200),
                      play("Quick", "Other", std::nullopt, std::nullopt, 44100)});
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, Model::load).data(Model::toneRole).toInt(), int(Tone::orange));
    EXPECT_EQ(model.index(1, Model::track).data().toString(), "Quick");
    for (int row : {0, 1}) // with and without a load
        EXPECT_EQ(model.index(row, Model::load).data(Qt::ToolTipRole), Model::headerHelp(Model::load));
    EXPECT_FALSE(model.index(0, Model::outcome).data(Qt::ToolTipRole).isValid());
    model.setEntries({});
    EXPECT_EQ(model.rowCount(), 0);
}
