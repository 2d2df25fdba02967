// The times, texts and groups every card shares, and the view's starting state.
#include "RailExpect.h"

#include "Settings/SettingsTextScale.h"

#include <QSettings>

using namespace railexpect;
using Group = SwitchTimingView::Group;

namespace {

TimingInputs inputs(int leadMs, double windowSec)
{
    TimingInputs in;
    in.leadMs = leadMs;
    in.quietWindowSec = windowSec;
    return in;
}

PlaybackHistory::MusicStartStats stats(qint64 typicalMs)
{
    return PlaybackHistory::MusicStartStats{25, 300, typicalMs, 2000};
}

} // namespace

TEST(SwitchTimingTimes, listeningLeadIsTheLargerOfRelockPlusOneSecondAndTheWindow)
{
    EXPECT_NEAR(SwitchTimingView::listeningLead(inputs(1200, 4.5)), 4.5, eps) << "1200 ms / 4.5 s";
    EXPECT_NEAR(SwitchTimingView::listeningLead(inputs(3000, 3.0)), 4.0, eps) << "3000 ms / 3.0 s";
    EXPECT_NEAR(SwitchTimingView::listeningLead(inputs(3500, 4.5)), 4.5, eps) << "equal: that number";
}

TEST(SwitchTimingTimes, tailSpanHasAFloorOf2point6Seconds)
{
    TimingInputs in = inputs(500, 4.5);
    in.delayMs = 0;
    EXPECT_NEAR(SwitchTimingView::tailSpan(in), 2.6, eps) << "no stats, delay 0, relock 500 ms";

    in.leadMs = 3000; // 3.0 + 1.0
    EXPECT_NEAR(SwitchTimingView::tailSpan(in), 4.0, eps) << "relock 3000 ms";

    in.leadMs = 1200;
    in.delayMs = 1500;
    in.loadStats = stats(1200); // 1.5 + 1.2 + 1.0
    EXPECT_NEAR(SwitchTimingView::tailSpan(in), 3.7, eps) << "delay 1500 ms, load 1.2 s";
}

TEST(SwitchTimingTimes, delayLoadAndRailStart)
{
    TimingInputs in = inputs(1200, 4.5);
    EXPECT_NEAR(SwitchTimingView::loadSec(in), 0.9, eps) << "no stats: assumed";
    EXPECT_TRUE(SwitchTimingView::loadAssumed(in));
    in.loadStats = stats(1350);
    EXPECT_NEAR(SwitchTimingView::loadSec(in), 1.35, eps) << "the median";
    EXPECT_FALSE(SwitchTimingView::loadAssumed(in));

    in.delayMs = 650;
    EXPECT_NEAR(SwitchTimingView::delaySec(in), 0.65, eps);

    EXPECT_NEAR(SwitchTimingView::railStart(inputs(1200, 4.5)), -5.6, eps)
        << "hand-over point is further out";
    EXPECT_NEAR(SwitchTimingView::railStart(inputs(1200, 6.0)), -6.6, eps)
        << "Listening Window is further out";
    EXPECT_NEAR(SwitchTimingView::railStart(inputs(3000, 3.0)), -5.6, eps) << "lead 4.0 s";
}

TEST(SwitchTimingTimes, msTextRoundsHalvesAwayFromZeroAndKeepsTheSign)
{
    EXPECT_EQ(SwitchTimingView::msText(0.4), QStringLiteral("400 ms"));
    EXPECT_EQ(SwitchTimingView::msText(1.2), QStringLiteral("1200 ms"));
    EXPECT_EQ(SwitchTimingView::msText(-0.25), QStringLiteral("-250 ms"));
    EXPECT_EQ(SwitchTimingView::msText(0.0125), QStringLiteral("13 ms")) << "half up";
    EXPECT_EQ(SwitchTimingView::msText(-0.0125), QStringLiteral("-13 ms")) << "half away from zero";
    EXPECT_EQ(SwitchTimingView::msText(12.5), QStringLiteral("12500 ms")) << "no grouping";
    EXPECT_EQ(SwitchTimingView::msText(-0.0001), QStringLiteral("0 ms")) << "no minus zero";
    EXPECT_EQ(SwitchTimingView::msText(std::nan("")), QStringLiteral("—"));
    EXPECT_EQ(SwitchTimingView::msText(1e300), QStringLiteral("—"));
}

TEST(SwitchTimingTimes, thresholdDropsTheFraction)
{
    EXPECT_EQ(SwitchTimingView::thresholdText(-55.0), QStringLiteral("-55"));
    EXPECT_EQ(SwitchTimingView::thresholdText(-55.9), QStringLiteral("-55")) << "toward zero, not rounded";
    EXPECT_EQ(SwitchTimingView::thresholdText(-80.0), QStringLiteral("-80"));
    EXPECT_EQ(SwitchTimingView::thresholdText(-std::numeric_limits<double>::infinity()), QStringLiteral("—"));
}

TEST(SwitchTimingLoad, loadBandsWithAndWithoutADelay)
{
    TimingInputs in = inputs(1200, 4.5);
    in.delayMs = 0;
    QList<RailBand> lane;
    SwitchTimingView::loadBands(lane, QStringLiteral("next track"), in);
    expectLane("load bands, delay 0 ms", "music", lane,
               {{0, 0.9, RailFill::loading, "loading"}, {0.9, 2.6, RailFill::next, "next track"}});

    in.delayMs = 300;
    in.loadStats = stats(1000);
    lane = {};
    SwitchTimingView::loadBands(lane, QStringLiteral("picked track"), in);
    expectLane("load bands, delay 300 ms", "music", lane,
               {{0, 0.3, RailFill::silence, "delay"},
                {0.3, 1.3, RailFill::loading, "loading"},
                {1.3, 2.6, RailFill::next, "picked track"}});
}

TEST(SwitchTimingLoad, loadSpanSaysWhenTheLoadIsAssumed)
{
    TimingInputs in = inputs(1200, 4.5);
    in.delayMs = 200;
    expectSpans("load span, no stats", {SwitchTimingView::loadSpan(in)},
                {{0.2, 1.1, "typical load 0.9 s (assumed)", RailColor::primary, std::nullopt}});
    in.loadStats = stats(1460);
    expectSpans("load span, measured", {SwitchTimingView::loadSpan(in)},
                {{0.2, 1.66, "typical load 1.5 s", RailColor::primary, std::nullopt}});
}

TEST(SwitchTimingGroups, groupOfEveryCardWithTheTapOnOffAndOnAnOlderSystem)
{
    struct Setup {
        const char *name;
        bool audioTap;
        bool tapSupported;
        // fade, stop, pause, lead, none, pick with mode "stop"
        QList<Group> groups;
        QString firstTitle;
    };
    const QList<Setup> setups = {
        {"tap on",
         true,
         true,
         {Group::first, Group::fallback, Group::always, Group::always, Group::always, Group::also},
         "Primary Switch Method"},
        {"tap off",
         false,
         true,
         {Group::always, Group::first, Group::always, Group::always, Group::always, Group::also},
         "Switch Method"},
        {"tap on, older system",
         true,
         false,
         {Group::always, Group::first, Group::always, Group::always, Group::always, Group::also},
         "Switch Method"},
    };
    for (const Setup &setup : setups) {
        TimingInputs in;
        in.boundaryMode = QStringLiteral("stop");
        in.audioTap = setup.audioTap;
        in.tapSupported = setup.tapSupported;
        const QList<Card> cards = SwitchTimingView::makeCards(in);
        ASSERT_EQ(cards.size(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(int(SwitchTimingView::group(cards[i], in)), int(setup.groups[i]))
                << setup.name << ": group of card " << cards[i].id.toStdString();
        EXPECT_EQ(SwitchTimingView::groupTitle(Group::first, in), setup.firstTitle) << setup.name;
        EXPECT_EQ(SwitchTimingView::groupTitle(Group::fallback, in),
                  QStringLiteral("Fallback Switch Method"));
        EXPECT_EQ(SwitchTimingView::groupTitle(Group::also, in), QStringLiteral("Always On"));
        EXPECT_EQ(SwitchTimingView::groupTitle(Group::always, in), QStringLiteral("Always On"));
    }
}

TEST(SwitchTimingGroups, theSelectedModeDecidesWhichRadioCardLeads)
{
    for (const QString mode : {"stop", "pause", "lead", "none"}) {
        TimingInputs in;
        in.boundaryMode = mode;
        in.audioTap = false;
        for (const Card &card : SwitchTimingView::makeCards(in)) {
            if (card.control.kind != SwitchTimingView::CardControl::Kind::radio)
                continue;
            const Group expected = card.id == mode ? Group::first : Group::always;
            EXPECT_EQ(int(SwitchTimingView::group(card, in)), int(expected))
                << "mode " << mode.toStdString() << ", card " << card.id.toStdString();
        }
    }
    TimingInputs unknown;
    unknown.boundaryMode = QStringLiteral("sideways");
    for (const Card &card : SwitchTimingView::makeCards(unknown)) {
        if (card.control.kind == SwitchTimingView::CardControl::Kind::radio) {
            EXPECT_EQ(int(SwitchTimingView::group(card, unknown)), int(Group::always))
                << card.id.toStdString();
        }
    }
}

TEST(SwitchTimingGroups, badgeColoursFollowTheMethodRoles)
{
    using SystemColors::Appearance;
    for (Appearance a : {Appearance::light, Appearance::dark}) {
        EXPECT_EQ(SwitchTimingView::groupColor(Group::first, a), SystemColors::blue(a));
        EXPECT_EQ(SwitchTimingView::groupColor(Group::fallback, a), SystemColors::red(a));
        EXPECT_EQ(SwitchTimingView::groupColor(Group::also, a), SystemColors::green(a));
        EXPECT_FALSE(SwitchTimingView::groupColor(Group::always, a).has_value());
    }
    EXPECT_EQ(SwitchTimingView::allGroups(),
              (QList<Group>{Group::first, Group::fallback, Group::also, Group::always}));
}

TEST(SwitchTimingState, aNewViewStartsFromTheInitialValues)
{
    const SwitchTimingView view(nullptr);
    EXPECT_EQ(view.model, nullptr);
    EXPECT_FALSE(view.shownID.has_value());
    EXPECT_EQ(view.fadeCase, QStringLiteral("found"));
    EXPECT_FALSE(view.flashed.has_value());
    EXPECT_EQ(view.flashTask, nullptr);
    EXPECT_EQ(SwitchTimingView::handOverPoint, 5.0);
    EXPECT_EQ(SwitchTimingView::stopLag, 0.0);
    EXPECT_EQ(SwitchTimingView::laneLabelWidth, 96.0);
    EXPECT_EQ(SwitchTimingView::cardPadding, 14.0);
    EXPECT_EQ(SwitchTimingView::endLabel(), QStringLiteral("the end of the outgoing track"));
}

TEST(SwitchTimingState, textScaleFollowsTheSettingsWindowsStep)
{
    QSettings settings;
    settings.remove(SettingsTextScale::key());
    const SwitchTimingView view(nullptr);
    EXPECT_EQ(view.textSizeIndex(), 3) << "absent";
    EXPECT_DOUBLE_EQ(view.textScale(), 1.3);

    const QList<std::pair<QVariant, double>> cases = {
        {0, 0.9}, {1, 1.0}, {2, 1.15}, {3, 1.3}, {-4, 0.9}, {9, 1.3}, {QStringLiteral("large"), 1.3},
    };
    for (const auto &[stored, scale] : cases) {
        settings.setValue(SettingsTextScale::key(), stored);
        EXPECT_DOUBLE_EQ(view.textScale(), scale) << "stored " << stored.toString().toStdString();
    }
    settings.remove(SettingsTextScale::key());
}

TEST(SwitchTimingRailTypes, settingKeysKeepTheirRawValuesAndOrder)
{
    QStringList raws;
    for (SettingKey key : allSettingKeys()) {
        raws << rawValue(key);
        EXPECT_EQ(settingKeyFromRawValue(rawValue(key)), key);
    }
    EXPECT_EQ(raws, (QStringList{"relock", "listeningWindow", "threshold", "minimumQuiet", "fadeExtend",
                                 "pausePoint", "delay", "automatic"}));
    EXPECT_FALSE(settingKeyFromRawValue(QStringLiteral("Relock")).has_value());
    EXPECT_NE(qHash(SettingKey::relock), qHash(SettingKey::delay));
}

TEST(SwitchTimingRailTypes, theRelockColourIsOnePerAppearanceAndKept)
{
    using SystemColors::Appearance;
    EXPECT_NE(railRelockColor(Appearance::light), railRelockColor(Appearance::dark));
    EXPECT_EQ(railColor(RailColor::relock, Appearance::dark), railRelockColor(Appearance::dark));
    EXPECT_EQ(railColor(RailColor::primary, Appearance::light), SystemColors::label(Appearance::light));
    EXPECT_EQ(railColor(RailColor::secondary, Appearance::dark),
              SystemColors::secondaryLabel(Appearance::dark));
}
