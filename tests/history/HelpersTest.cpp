// The pure helpers of the play store: step, outcome and rate texts, the differed test, load
// statistics, and the store's in-memory rules (cap, update, clear).
#include "PlaybackHistory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Entry = PlaybackHistory::Entry;

Entry play(std::optional<double> predicted, std::optional<double> played, std::optional<double> outcomeRate = {})
{
    Entry entry;
    entry.at = QDateTime::currentDateTimeUtc();
    entry.title = QStringLiteral("Track");
    entry.artist = QStringLiteral("Artist");
    entry.predictedRate = predicted;
    entry.playedRate = played;
    entry.outcomeRate = outcomeRate;
    return entry;
}

Entry withStart(std::optional<qint64> ms)
{
    Entry entry = play(44100, 44100);
    entry.musicStartMs = ms;
    return entry;
}

} // namespace

TEST(PlaybackHistoryEntry, DifferedRoundsHalvesAwayFromZeroAndPrefersTheOutcomeRate)
{
    EXPECT_FALSE(play(std::nullopt, 44100).differed());
    EXPECT_FALSE(play(std::nullopt, 44100, 48000).differed());
    EXPECT_FALSE(play(44100, std::nullopt).differed());
    EXPECT_FALSE(play(44100, 44100.4).differed());
    EXPECT_TRUE(play(44100, 44100.5).differed()); // 44100.5 rounds up to 44101
    // Banker's rounding would take 44100.5 down to 44100 and call this a difference.
    EXPECT_FALSE(play(44100.5, 44101).differed());
    EXPECT_FALSE(play(-2.5, -3).differed());
    // The settled outcome rate wins over the opening stream rate.
    EXPECT_FALSE(play(48000, 44100, 48000).differed());
    EXPECT_TRUE(play(48000, 48000, 96000).differed());
}

TEST(PlaybackHistorySteps, StepNumberReadsTheLastNonEmptyPiece)
{
    const std::vector<std::pair<std::optional<QString>, std::optional<int>>> cases{
        {std::nullopt, std::nullopt},
        {QString(), std::nullopt},
        {QStringLiteral("/"), std::nullopt},
        {QStringLiteral("pinned"), 1},
        {QStringLiteral("companion/pinned/"), 1},
        {QStringLiteral("//file//"), 1},
        {QStringLiteral("library/learned"), 2},
        {QStringLiteral("imported"), 2},
        {QStringLiteral("album"), 3},
        {QStringLiteral("catalog/tags+ladder"), 4},
        {QStringLiteral("derived"), 5},
        {QStringLiteral("tags-guess"), 5},
        {QStringLiteral("pinned/other"), std::nullopt},
        {QStringLiteral("Pinned"), std::nullopt},
        {QStringLiteral("tags"), std::nullopt},
    };
    for (const auto &[source, step] : cases)
        EXPECT_EQ(PlaybackHistory::stepNumber(source), step) << source.value_or(QStringLiteral("<none>")).toStdString();
}

TEST(PlaybackHistorySteps, NamesAndLabels)
{
    const Bundle en = Bundle::english();
    EXPECT_EQ(PlaybackHistory::stepName(1, en), QStringLiteral("Fixed rate"));
    EXPECT_EQ(PlaybackHistory::stepName(4, en), QStringLiteral("Apple’s catalog"));
    EXPECT_EQ(PlaybackHistory::stepName(5, en), QStringLiteral("Estimate"));
    EXPECT_EQ(PlaybackHistory::stepName(0, en), QString());
    EXPECT_EQ(PlaybackHistory::stepName(6, en), QString());

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
    EXPECT_EQ(PlaybackHistory::stepLabel(std::nullopt, en), QString());
}

TEST(PlaybackHistoryTexts, OutcomeLabelFollowsItsOrder)
{
    const Bundle en = Bundle::english();
    const auto label = [&en](const Entry &entry) { return PlaybackHistory::outcomeLabel(entry, en); };

    Entry corrected = play(48000, 44100);
    corrected.outcome = QStringLiteral("rewritten");
    corrected.corrected = true;
    EXPECT_EQ(label(corrected), QStringLiteral("Corrected mid-track"));

    Entry rewritten = play(std::nullopt, std::nullopt);
    rewritten.outcome = QStringLiteral("rewritten");
    EXPECT_EQ(label(rewritten), QStringLiteral("Rewritten · remembered"));

    Entry learned = play(48000, 44100);
    learned.outcome = QStringLiteral("learned");
    EXPECT_EQ(label(learned), QStringLiteral("Learned · remembered"));

    Entry other = play(std::nullopt, 44100);
    other.outcome = QStringLiteral("kept");
    EXPECT_EQ(label(other), QStringLiteral("No prediction"));
    EXPECT_EQ(label(play(48000, std::nullopt)), QStringLiteral("Predicted, not yet played"));
    EXPECT_EQ(label(play(48000, 44100)), QStringLiteral("Played at another rate"));
    EXPECT_EQ(label(play(48000, 44100, 48000)), QStringLiteral("Playing as predicted"));
}

TEST(PlaybackHistoryTexts, RateText)
{
    EXPECT_EQ(PlaybackHistory::rateText(48000), QStringLiteral("48 kHz"));
    EXPECT_EQ(PlaybackHistory::rateText(44100), QStringLiteral("44.1 kHz"));
    EXPECT_EQ(PlaybackHistory::rateText(88200), QStringLiteral("88.2 kHz"));
    EXPECT_EQ(PlaybackHistory::rateText(192000), QStringLiteral("192 kHz"));
    EXPECT_EQ(PlaybackHistory::rateText(352800), QStringLiteral("352.8 kHz"));
}

TEST(PlaybackHistoryStats, MusicStartStatsUseTheLast25PositiveValues)
{
    QTemporaryDir dir;
    PlaybackHistory history(dir.filePath(QStringLiteral("h.json")));
    EXPECT_EQ(history.musicStartStats(), std::nullopt);
    history.append(withStart(std::nullopt));
    history.append(withStart(0));
    history.append(withStart(-5));
    EXPECT_EQ(history.musicStartStats(), std::nullopt);

    // An even count takes the upper middle value: index count / 2.
    for (qint64 ms : {400, 100, 300, 200})
        history.append(withStart(ms));
    EXPECT_EQ(history.musicStartStats(), (PlaybackHistory::MusicStartStats{4, 100, 300, 400}));

    // Thirty more plays, interleaved with plays without a time: only the newest 25 times count.
    for (qint64 ms = 1; ms <= 30; ++ms) {
        history.append(withStart(ms * 10));
        history.append(withStart(std::nullopt));
    }
    EXPECT_EQ(history.musicStartStats(), (PlaybackHistory::MusicStartStats{25, 60, 180, 300}));
}

TEST(PlaybackHistoryStore, KeepsTheNewest2000AndReportsEveryChange)
{
    QTemporaryDir dir;
    PlaybackHistory history(dir.filePath(QStringLiteral("h.json")));
    int changes = 0;
    history.onChange = [&changes] { ++changes; };

    QList<QUuid> ids;
    for (int i = 0; i < PlaybackHistory::maximumEntries + 3; ++i) {
        Entry entry = play(44100, 44100);
        entry.title = QString::number(i);
        ids.append(entry.id);
        history.append(entry);
    }
    EXPECT_EQ(changes, PlaybackHistory::maximumEntries + 3);
    ASSERT_EQ(history.entries().size(), PlaybackHistory::maximumEntries);
    EXPECT_EQ(history.entries().first().title, QStringLiteral("3"));
    EXPECT_EQ(history.entries().last().id, ids.last());

    Entry changed = history.entries().at(10);
    changed.outcome = QStringLiteral("learned");
    changed.outcomeRate = 96000;
    history.update(changed);
    EXPECT_EQ(history.entries().at(10), changed);
    EXPECT_EQ(changes, PlaybackHistory::maximumEntries + 4);
    history.update(changed); // nothing new
    history.update(play(1, 1)); // unknown id
    EXPECT_EQ(changes, PlaybackHistory::maximumEntries + 4);

    history.clear();
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_EQ(changes, PlaybackHistory::maximumEntries + 5);
    EXPECT_TRUE(history.savePending());
}
