// The table's cells: texts, which ones turn orange, their hover notes, and the column widths.

#include "HistoryFixtures.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>
#include <numeric>

using namespace HistoryFixtures;
using Model = PlaybackHistoryTableModel;
using Tone = Model::Tone;

TEST(HistoryCells, LoadTurnsOrangeFromFourSecondsAndEveryLoadCellExplainsItself)
{
    const QString help = QString::fromUtf8(
        "How long Music.app took to start the track after Corvane asked for it — a pick, or the next "
        "track after a Stop to Switch change. Blank: a gapless advance, which Music.app had already "
        "loaded.");
    Entry entry = play("t", "a", 44100, "learned", 44100);
    entry.musicStartMs = 3999;
    EXPECT_EQ(Model::cellText(Model::load, entry), "4.0 s");
    EXPECT_EQ(Model::cellTone(Model::load, entry), Tone::secondary);
    EXPECT_EQ(Model::cellHelp(Model::load, entry), help);
    entry.musicStartMs = 4000;
    EXPECT_EQ(Model::cellTone(Model::load, entry), Tone::orange);
    entry.musicStartMs.reset();
    EXPECT_EQ(Model::cellText(Model::load, entry), "—");
    EXPECT_EQ(Model::cellHelp(Model::load, entry), help) << "a blank load is the one that needs it most";
    EXPECT_EQ(Model::headerHelp(Model::load), help);
    EXPECT_FALSE(Model::cellHelp(Model::played, entry));
}

TEST(HistoryCells, PlayWithoutPredictionShowsItsNote)
{
    Entry entry = play("t", "a", std::nullopt, std::nullopt, 48000);
    EXPECT_EQ(Model::cellText(Model::predicted, entry), "—");
    EXPECT_EQ(Model::cellText(Model::from, entry), "no prediction");
    EXPECT_FALSE(Model::cellHelp(Model::from, entry));
    entry.note = "Companion not paired";
    EXPECT_EQ(Model::cellText(Model::from, entry), "Companion not paired");
    // With a prediction the step shows, and the note is still there on hover.
    entry.predictedRate = 88200;
    entry.source = "library/pinned";
    EXPECT_EQ(Model::cellText(Model::from, entry), "1 · Fixed rate (pin)");
    EXPECT_EQ(Model::cellHelp(Model::from, entry), "Companion not paired");
}

TEST(HistoryCells, TimeIsMediumDateAndShortTime)
{
    const QDateTime at(QDate(2026, 3, 1), QTime(15, 7), QTimeZone::utc());
    EXPECT_EQ(Model::timeText(at, "en_US", "UTC"), QString::fromUtf8("Mar 1, 2026, 3:07\u202fPM"));
    // The samples the column is sized by: every month, with a two-digit day and hour.
    const QStringList widest = Model::widestTexts(Model::time);
    EXPECT_EQ(widest.size(), 24);
    EXPECT_TRUE(widest.contains(Model::timeText(QDateTime(QDate(2026, 12, 26), QTime(22, 44)))));
    EXPECT_EQ(Model::timeText(at, "de_DE", "Europe/Berlin"), "01.03.2026, 16:07");
    EXPECT_EQ(Model::timeText(QDateTime()), "—");
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
