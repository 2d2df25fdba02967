// The table's cells: texts, which ones turn orange, their hover notes, and the column widths.

#include "HistoryFixtures.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>
#include <numeric>

using namespace HistoryFixtures;
using Model = PlaybackHistoryTableModel;
using Tone = Model::Tone;

TEST(HistoryCells, LoadTurnsOrangeFromFourSeconds)
{
    Entry entry = play("t", "a", 44100, "learned", 44100);
    entry.musicStartMs = 3999;
    EXPECT_EQ(Model::cellTone(Model::load, entry), Tone::secondary);
    EXPECT_EQ(Model::cellText(Model::load, entry), "4.0 s");
    entry.musicStartMs = 4000;
    EXPECT_EQ(Model::cellTone(Model::load, entry), Tone::orange);
    entry.musicStartMs = 870;
    EXPECT_EQ(Model::cellText(Model::load, entry), "0.9 s");
    entry.musicStartMs.reset();
    EXPECT_EQ(Model::cellText(Model::load, entry), "—");
    EXPECT_EQ(Model::cellTone(Model::load, entry), Tone::secondary);
    EXPECT_TRUE(Model::headerHelp(Model::load)->startsWith("How long Music.app took to start the track"));
    EXPECT_FALSE(Model::headerHelp(Model::played));
}

TEST(HistoryCells, PlayedLooksOnlyAtTheRateWhileOutcomeAlsoAtTheCorrection)
{
    Entry corrected = play("t", "a", 44100, "learned", 44100);
    corrected.corrected = true;
    EXPECT_EQ(Model::cellTone(Model::played, corrected), Tone::primary);
    EXPECT_EQ(Model::cellTone(Model::outcome, corrected), Tone::orange);
    EXPECT_EQ(Model::cellText(Model::outcome, corrected), "Corrected mid-track");

    const Entry wrong = play("t", "a", 44100, "tags-guess", 96000);
    EXPECT_EQ(Model::cellTone(Model::played, wrong), Tone::orange);
    EXPECT_EQ(Model::cellTone(Model::outcome, wrong), Tone::orange);

    const Entry right = play("t", "a", 44100, "learned", 44100);
    EXPECT_EQ(Model::cellTone(Model::played, right), Tone::primary);
    EXPECT_EQ(Model::cellTone(Model::outcome, right), Tone::secondary);
    EXPECT_EQ(Model::cellTone(Model::predicted, right), Tone::primary);
    for (int column : {Model::time, Model::setting, Model::from})
        EXPECT_EQ(Model::cellTone(column, wrong), Tone::secondary) << column;
}

TEST(HistoryCells, PlayWithoutPredictionShowsItsNote)
{
    Entry entry = play("t", "a", std::nullopt, std::nullopt, 48000);
    entry.tier.reset();
    EXPECT_EQ(Model::cellText(Model::predicted, entry), "—");
    EXPECT_EQ(Model::cellText(Model::setting, entry), "—");
    EXPECT_EQ(Model::cellText(Model::from, entry), "no prediction");
    EXPECT_FALSE(Model::cellHelp(Model::from, entry));
    EXPECT_EQ(Model::cellText(Model::played, entry), "48 kHz");

    entry.note = QStringLiteral("Companion not paired");
    EXPECT_EQ(Model::cellText(Model::from, entry), "Companion not paired");
    EXPECT_EQ(Model::cellHelp(Model::from, entry), "Companion not paired");

    // With a prediction the step shows, and the note is still there on hover.
    entry.predictedRate = 88200;
    entry.source = QStringLiteral("library/pinned");
    EXPECT_EQ(Model::cellText(Model::from, entry), "1 · Fixed rate (pin)");
    EXPECT_EQ(Model::cellHelp(Model::from, entry), "Companion not paired");
    EXPECT_EQ(Model::cellText(Model::predicted, entry), "88.2 kHz");
    EXPECT_FALSE(Model::cellHelp(Model::outcome, entry));
}

TEST(HistoryCells, SettingUsesTheColumnWords)
{
    Entry entry = play("t", "a", 44100, "learned", 44100);
    const std::pair<const char *, const char *> words[] = {{"hires", "Hi-Res"},    {"lossless", "Lossless"},
                                                           {"aac", "AAC"},         {"unknown", "Unknown"},
                                                           {"file", "Local file"}, {"other", "Any"}};
    for (const auto &[tier, label] : words) {
        entry.tier = QString::fromUtf8(tier);
        EXPECT_EQ(Model::cellText(Model::setting, entry), QString::fromUtf8(label)) << tier;
    }
}

TEST(HistoryCells, TimeIsMediumDateAndShortTime)
{
    const QDateTime at(QDate(2026, 3, 1), QTime(15, 7), QTimeZone::utc());
    EXPECT_EQ(Model::timeText(at, QStringLiteral("en_US"), QStringLiteral("UTC")),
              QString::fromUtf8("Mar 1, 2026, 3:07\u202fPM"));
    EXPECT_EQ(Model::timeText(at, QStringLiteral("de_DE"), QStringLiteral("Europe/Berlin")),
              QString::fromUtf8("01.03.2026, 16:07"));
    EXPECT_EQ(Model::timeText(QDateTime()), "—");
}

TEST(HistoryCells, ColumnsShareSpaceWithinTheirBounds)
{
    const auto sum = [](const auto &widths) { return std::accumulate(widths.begin(), widths.end(), 0); };
    const auto within = [](const auto &widths) {
        for (int i = 0; i < Model::columnTotal; ++i) {
            const auto &spec = Model::columns[i];
            if (widths[i] < spec.minimum || (spec.maximum > 0 && widths[i] > spec.maximum))
                return false;
        }
        return true;
    };
    int ideal = 0;
    for (const auto &spec : Model::columns)
        ideal += spec.ideal;
    for (int available : {0, 700, 900, 936, ideal, 1400, 4000}) {
        const auto widths = Model::columnWidths(available);
        EXPECT_TRUE(within(widths)) << available;
        if (available >= 860)
            EXPECT_EQ(sum(widths), available) << available;
    }
    EXPECT_EQ(Model::columnWidths(ideal)[Model::track], 260);
    // A narrower table takes the room from the titles, steps and outcomes first.
    const auto narrow = Model::columnWidths(ideal - 200);
    EXPECT_EQ(narrow[Model::time], 130);
    EXPECT_EQ(narrow[Model::load], 90);
    EXPECT_EQ(narrow[Model::from], 140);
    EXPECT_EQ(narrow[Model::track] + narrow[Model::outcome], 260 + 260 - 140);
    // A wider one gives the bounded columns their room first.
    const auto roomy = Model::columnWidths(ideal + 20);
    EXPECT_EQ(roomy[Model::track], 260);
    EXPECT_GT(roomy[Model::time], 130);
    // Far past every bounded maximum, only the three open columns keep growing, alike.
    const auto wide = Model::columnWidths(4000);
    EXPECT_EQ(wide[Model::played], 100);
    EXPECT_EQ(wide[Model::load], 110);
    EXPECT_LE(std::abs((wide[Model::track] - 260) - (wide[Model::outcome] - 260)), 1);
    EXPECT_LE(std::abs((wide[Model::from] - 200) - (wide[Model::track] - 260)), 1);
    EXPECT_EQ(sum(Model::columnWidths(100)), 860); // every minimum, no less
}

TEST(HistoryCells, TableModelIsWellBehaved)
{
    Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Entry slow = play("Slow", "Artist", 44100, "learned", 48000);
    slow.musicStartMs = 5200;
    model.setEntries({slow, play("Quick", "Other", std::nullopt, std::nullopt, 44100)});
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 8);
    EXPECT_EQ(model.index(0, Model::track).data(Model::artistRole), "Artist");
    EXPECT_EQ(model.index(0, Model::load).data(Model::toneRole).toInt(), int(Tone::orange));
    EXPECT_EQ(model.index(1, Model::from).data().toString(), "no prediction");
    EXPECT_EQ(model.index(1, 0).data(Model::idRole).toUuid(), model.entries().at(1).id);
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers.append(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    EXPECT_EQ(headers, (QStringList{"Time", "Track", "Setting", "Predicted", "From", "Played",
                                    "Music.app Load", "Outcome"}));
    EXPECT_TRUE(model.headerData(Model::load, Qt::Horizontal, Qt::ToolTipRole).isValid());
    model.setEntries({});
    EXPECT_EQ(model.rowCount(), 0);
}
