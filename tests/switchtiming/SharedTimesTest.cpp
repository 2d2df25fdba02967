// The times, texts and groups every card shares.
#include "RailExpect.h"

using namespace railexpect;
using Group = SwitchTimingView::Group;

TEST(SwitchTimingTimes, listeningLeadTailSpanAndRailStart)
{
    const struct {
        const char *name;
        int leadMs;
        double window;
        int delayMs;
        std::optional<qint64> loadMs;
        double lead, tail, start;
    } cases[] = {
        {"1200 ms / 4.5 s: the window", 1200, 4.5, 0, std::nullopt, 4.5, 2.6, -5.6},
        {"3000 ms / 3.0 s: relock + 1 s", 3000, 3.0, 0, std::nullopt, 4.0, 4.0, -5.6},
        {"500 ms, no delay, nothing measured: the 2.6 s floor", 500, 4.5, 0, std::nullopt, 4.5, 2.6, -5.6},
        {"delay 1500 ms, load 1.2 s", 1200, 4.5, 1500, 1200, 4.5, 3.7, -5.6},
    };
    for (const auto &k : cases) {
        TimingInputs in;
        in.leadMs = k.leadMs;
        in.quietWindowSec = k.window;
        in.delayMs = k.delayMs;
        if (k.loadMs)
            in.loadStats = PlaybackHistory::MusicStartStats{25, 300, *k.loadMs, 2000};
        EXPECT_NEAR(SwitchTimingView::listeningLead(in), k.lead, eps) << k.name;
        EXPECT_NEAR(SwitchTimingView::tailSpan(in), k.tail, eps) << k.name;
        EXPECT_NEAR(SwitchTimingView::railStart(in), k.start, eps) << k.name;
    }
}

TEST(SwitchTimingTimes, msTextAndThresholdText)
{
    const std::pair<double, const char *> durations[] = {
        {0.4, "400 ms"},    {1.2, "1200 ms"},  {-0.25, "-250 ms"},  {-0.0125, "-13 ms"}, // away from zero
        {12.5, "12500 ms"}, {-0.0001, "0 ms"}, {std::nan(""), "—"}, // no grouping, no "-0"
    };
    for (const auto &[seconds, text] : durations)
        EXPECT_EQ(SwitchTimingView::msText(seconds), QString::fromUtf8(text)) << seconds;
    // Whole decibels toward zero, not rounded.
    const std::pair<double, const char *> thresholds[] = {
        {-55.0, "-55"}, {-55.9, "-55"}, {-std::numeric_limits<double>::infinity(), "—"}};
    for (const auto &[db, text] : thresholds)
        EXPECT_EQ(SwitchTimingView::thresholdText(db), QString::fromUtf8(text)) << db;
}

TEST(SwitchTimingGroups, groupOfEveryCardByTheTapTheSystemAndTheMode)
{
    const Group F = Group::first, B = Group::fallback, G = Group::also, A = Group::always;
    const struct {
        const char *name;
        bool audioTap, tapSupported;
        QString mode;
        QList<Group> groups; // fade, stop, pause, lead, none, pick
        QString firstTitle;
    } cases[] = {
        {"tap on, stop", true, true, "stop", {F, B, A, A, A, G}, "Primary Switch Method"},
        {"tap off, stop", false, true, "stop", {A, F, A, A, A, G}, "Switch Method"},
        {"tap on, older system, stop", true, false, "stop", {A, F, A, A, A, G}, "Switch Method"},
        {"tap on, lead", true, true, "lead", {F, A, A, B, A, G}, "Primary Switch Method"},
    };
    for (const auto &k : cases) {
        TimingInputs in;
        in.audioTap = k.audioTap;
        in.tapSupported = k.tapSupported;
        in.boundaryMode = k.mode;
        const QList<Card> cards = SwitchTimingView::makeCards(in);
        ASSERT_EQ(cards.size(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(int(SwitchTimingView::group(cards[i], in)), int(k.groups[i]))
                << k.name << ": group of card " << cards[i].id.toStdString();
        EXPECT_EQ(SwitchTimingView::groupTitle(Group::first, in), k.firstTitle) << k.name;
    }
}
