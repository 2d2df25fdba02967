// The pure helpers of the play store and its in-memory rules (cap, update, clear).
#include "HistoryFixtures.h"
#include "HistoryTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Entry = PlaybackHistory::Entry;
using Rate = std::optional<double>;

Entry play(Rate predicted, Rate played, Rate outcomeRate = {}, std::optional<QString> outcome = {},
           bool corrected = false)
{
    Entry entry;
    entry.predictedRate = predicted;
    entry.playedRate = played;
    entry.outcomeRate = outcomeRate;
    entry.outcome = outcome;
    entry.corrected = corrected;
    return entry;
}

} // namespace

TEST(PlaybackHistoryEntry, DifferedRoundsHalvesAwayFromZeroAndPrefersTheOutcomeRate)
{
    const std::vector<std::pair<Entry, bool>> cases{
        {play(std::nullopt, 44100, 48000), false},
        {play(44100, std::nullopt), false},
        {play(44100, 44100.4), false},
        {play(44100, 44100.5), true},  // 44100.5 rounds up to 44101
        {play(44100.5, 44101), false}, // banker's rounding would call this a difference
        {play(-2.5, -3), false},
        {play(48000, 44100, 48000), false}, // the settled outcome rate wins over the played rate
        {play(48000, 48000, 96000), true},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(cases[i].first.differed(), cases[i].second) << "case " << i;
}

TEST(PlaybackHistorySteps, StepNumberAndLabelReadTheLastNonEmptyPiece)
{
    // The labels below cover each step's own words; these are the ways of cutting a source.
    const std::vector<std::pair<std::optional<QString>, std::optional<int>>> steps{
        {std::nullopt, std::nullopt},
        {QStringLiteral("/"), std::nullopt},
        {QStringLiteral("companion/pinned/"), 1},
        {QStringLiteral("library/learned"), 2},
        {QStringLiteral("pinned/other"), std::nullopt},
        {QStringLiteral("Pinned"), std::nullopt},
    };
    for (const auto &[source, step] : steps)
        EXPECT_EQ(PlaybackHistory::stepNumber(source), step) << source.value_or("<none>").toStdString();

    const Bundle en = Bundle::english();
    const std::vector<std::pair<QString, QString>> labels{
        {QStringLiteral("pinned"), QStringLiteral("1 · Fixed rate (pin)")},
        {QStringLiteral("a/file"), QStringLiteral("1 · Fixed rate (local file)")},
        {QStringLiteral("learned"), QStringLiteral("2 · Confirmed playback rate")},
        {QStringLiteral("imported"), QStringLiteral("2 · Confirmed playback rate (imported)")},
        {QStringLiteral("album"), QStringLiteral("3 · Same album")},
        {QStringLiteral("tags+ladder"), QStringLiteral("4 · Apple’s catalog")},
        {QStringLiteral("derived"), QStringLiteral("5 · Estimate (from a Hi-Res rate)")},
        {QStringLiteral("x/tags-guess/"), QStringLiteral("5 · Estimate (from the tags)")},
        {QStringLiteral("mystery"), QString()},
    };
    for (const auto &[source, label] : labels)
        EXPECT_EQ(PlaybackHistory::stepLabel(source, en), label) << source.toStdString();
}

TEST(PlaybackHistoryTexts, OutcomeLabelFollowsItsOrderAndRatesReadInKilohertz)
{
    const std::vector<std::pair<Entry, QString>> cases{
        {play(48000, 44100, {}, QStringLiteral("rewritten"), true), QStringLiteral("Corrected mid-track")},
        {play(std::nullopt, std::nullopt, {}, QStringLiteral("rewritten")),
         QStringLiteral("Rewritten · remembered")},
        {play(48000, 44100, {}, QStringLiteral("learned")), QStringLiteral("Learned · remembered")},
        {play(std::nullopt, 44100, {}, QStringLiteral("kept")), QStringLiteral("No prediction")},
        {play(48000, std::nullopt), QStringLiteral("Predicted, not yet played")},
        {play(48000, 44100), QStringLiteral("Played at another rate")},
        {play(48000, 44100, 48000), QStringLiteral("Playing as predicted")},
    };
    for (const auto &[entry, label] : cases)
        EXPECT_EQ(PlaybackHistory::outcomeLabel(entry, Bundle::english()), label);
    EXPECT_EQ(PlaybackHistory::rateText(352800), QStringLiteral("352.8 kHz")); // whole ones: the cells' tests
}

TEST(PlaybackHistoryStats, MusicStartStatsUseTheLast25PositiveValues)
{
    QTemporaryDir dir;
    PlaybackHistory history(dir.filePath(QStringLiteral("h.json")));
    HistoryFixtures::appendStarts(history, {std::nullopt, 0, -5});
    EXPECT_EQ(history.musicStartStats(), std::nullopt);

    // An even count takes the upper middle value: index count / 2.
    HistoryFixtures::appendStarts(history, {400, 100, 300, 200});
    EXPECT_EQ(history.musicStartStats(), (PlaybackHistory::MusicStartStats{4, 100, 300, 400}));

    // Thirty more, interleaved with plays without a time: only the newest 25 times count.
    for (qint64 ms = 1; ms <= 30; ++ms)
        HistoryFixtures::appendStarts(history, {ms * 10, std::nullopt});
    EXPECT_EQ(history.musicStartStats(), (PlaybackHistory::MusicStartStats{25, 60, 180, 300}));
}

TEST(PlaybackHistoryStore, KeepsTheNewest2000AndReportsEveryChange)
{
    QTemporaryDir dir;
    PlaybackHistory history(dir.filePath(QStringLiteral("h.json")));
    int changes = 0;
    history.onChange = [&changes] { ++changes; };
    for (int i = 0; i < 2003; ++i)
        history.append(sample(QString::number(i)));
    ASSERT_EQ(history.entries().size(), 2000);
    EXPECT_EQ(history.entries().first().title, QStringLiteral("3"));
    EXPECT_EQ(history.entries().last().title, QStringLiteral("2002"));

    Entry changed = history.entries().at(10);
    changed.outcomeRate = 96000;
    history.update(changed);
    history.update(changed);    // nothing new
    history.update(play(1, 1)); // unknown id
    EXPECT_EQ(history.entries().at(10), changed);
    history.clear();
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_EQ(changes, 2005);
}
