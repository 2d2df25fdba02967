// What the window shows, as plain functions: which card and case, how each group styles its tab
// and its panel, how steps are numbered, and which fills the legend names.
#include "RailExpect.h"

#include "Platform/BrandColors.h"
#include "SwitchTiming/GroupStyle.h"
#include "SwitchTiming/RailFills.h"

#include <QSet>

using namespace railexpect;
using Group = SwitchTimingView::Group;
using Fill = GroupStyle::TabStyle::Fill;
using SystemColors::Appearance;

namespace {

QString shownCard(const TimingInputs &in, std::optional<QString> shownID = std::nullopt)
{
    const QList<Card> cards = SwitchTimingView::makeCards(in);
    return cards[SwitchTimingView::shownCardIndex(cards, shownID, in)].id;
}

TimingInputs settings(bool audioTap, bool tapSupported, const QString &mode)
{
    TimingInputs in;
    in.audioTap = audioTap;
    in.tapSupported = tapSupported;
    in.boundaryMode = mode;
    return in;
}

} // namespace

TEST(ShownCard, askedForElseFollowsTheSettingsElseTheFirst)
{
    EXPECT_EQ(shownCard(settings(true, true, "stop")), "fade");
    EXPECT_EQ(shownCard(settings(false, true, "pause")), "pause");
    EXPECT_EQ(shownCard(settings(true, false, "lead")), "lead") << "the tap can't run here";
    EXPECT_EQ(shownCard(settings(false, true, "nonsense")), "fade") << "no card: the first";
    EXPECT_EQ(shownCard(settings(true, true, "stop"), "pick"), "pick");
    EXPECT_EQ(shownCard(settings(false, true, "none"), "nonsense"), "none") << "an unknown id falls through";
}

TEST(ShownCase, theOneNamedByFadeCaseElseTheFirst)
{
    const QList<Card> cards = SwitchTimingView::makeCards(TimingInputs{});
    const Card &fade = cards[0];
    const Card &stop = cards[1];
    EXPECT_EQ(fade.cases[SwitchTimingView::shownCaseIndex(fade, "late")].id, "late");
    EXPECT_EQ(fade.cases[SwitchTimingView::shownCaseIndex(fade, "found")].id, "found");
    EXPECT_EQ(fade.cases[SwitchTimingView::shownCaseIndex(fade, "")].id, "found");
    // One value for the whole window: a single-case card shows its own case whatever it holds.
    EXPECT_EQ(stop.cases[SwitchTimingView::shownCaseIndex(stop, "late")].id, "stop");
}

TEST(TabStyle, sectionStylesTheCapsuleAndGroupNowTheDot)
{
    const Appearance light = Appearance::light;
    const QColor primary = SystemColors::label(light);
    const QColor secondary = SystemColors::secondaryLabel(light);
    const QColor white(Qt::white);
    const QMarginsF wide(12, 5, 12, 5), narrow(9, 5, 9, 5);
    const QColor firstOutline = SystemColors::withOpacity(BrandColors::brandRedStart(), 0.45);
    const QColor otherOutline = SystemColors::withOpacity(primary, 0.12);
    const struct {
        const char *name;
        Group section, now;
        bool selected;
        GroupStyle::TabStyle style;
    } cases[] = {
        {"fade, first choice",
         Group::first,
         Group::first,
         false,
         {SystemColors::blue(light), QFont::DemiBold, primary, wide, Fill::controlBackground, firstOutline}},
        {"fade, shown",
         Group::first,
         Group::first,
         true,
         {white, QFont::DemiBold, white, wide, Fill::brandGradient, std::nullopt}},
        {"fade, tap off",
         Group::first,
         Group::always,
         false,
         {std::nullopt, QFont::DemiBold, primary, wide, Fill::controlBackground, firstOutline}},
        {"stop, the fallback",
         Group::fallback,
         Group::fallback,
         false,
         {SystemColors::red(light), QFont::DemiBold, primary, wide, Fill::controlBackground, otherOutline}},
        {"stop, the only method",
         Group::fallback,
         Group::first,
         false,
         {SystemColors::blue(light), QFont::DemiBold, primary, wide, Fill::controlBackground, otherOutline}},
        {"lead, not chosen",
         Group::also,
         Group::always,
         false,
         {std::nullopt, QFont::Medium, secondary, narrow, Fill::none, std::nullopt}},
        {"lead, shown",
         Group::also,
         Group::always,
         true,
         {std::nullopt, QFont::DemiBold, white, narrow, Fill::brandGradient, std::nullopt}},
        {"pick",
         Group::always,
         Group::also,
         false,
         {SystemColors::green(light), QFont::DemiBold, primary, wide, Fill::controlBackground, otherOutline}},
    };
    for (const auto &k : cases) {
        const GroupStyle::TabStyle style = GroupStyle::tabStyle(k.section, k.now, k.selected, light);
        EXPECT_EQ(style.dot, k.style.dot) << k.name;
        EXPECT_EQ(style.weight, k.style.weight) << k.name;
        EXPECT_EQ(style.text, k.style.text) << k.name;
        EXPECT_EQ(style.inset, k.style.inset) << k.name;
        EXPECT_EQ(style.fill, k.style.fill) << k.name;
        EXPECT_EQ(style.outline, k.style.outline) << k.name;
    }
}

TEST(TabStyle, captionsAndPanelsByGroup)
{
    EXPECT_EQ(GroupStyle::caption(Group::first), "First choice");
    EXPECT_EQ(GroupStyle::caption(Group::fallback), "When there's no fade");
    EXPECT_EQ(GroupStyle::caption(Group::also), "If you'd rather");
    EXPECT_EQ(GroupStyle::caption(Group::always), "Always on");
    EXPECT_EQ(GroupStyle::captionColor(Group::first, Appearance::dark), BrandColors::brandRedStart());
    EXPECT_EQ(GroupStyle::captionColor(Group::also, Appearance::dark),
              SystemColors::secondaryLabel(Appearance::dark));

    for (Appearance a : {Appearance::light, Appearance::dark}) {
        const GroupStyle::PanelStyle fallback = GroupStyle::panelStyle(Group::fallback, a);
        EXPECT_EQ(fallback.tint, SystemColors::withOpacity(SystemColors::red(a), 0.08));
        EXPECT_EQ(fallback.border, SystemColors::withOpacity(SystemColors::red(a), 0.55));
        EXPECT_EQ(fallback.borderWidth, 1.5);
        const GroupStyle::PanelStyle always = GroupStyle::panelStyle(Group::always, a);
        EXPECT_EQ(always.tint.alpha(), 0);
        EXPECT_EQ(always.border, SystemColors::separator(a));
        EXPECT_EQ(always.borderWidth, 1.0);
        // The background labels are knocked out with is opaque, and tinted toward the group.
        const QColor neutral = GroupStyle::panelBackground(Group::always, a);
        const QColor blue = GroupStyle::panelBackground(Group::first, a);
        EXPECT_EQ(neutral.alpha(), 255);
        EXPECT_GT(blue.blue() - blue.red(), neutral.blue() - neutral.red());
    }
}

TEST(RailSteps, numberedInTimeOrderWithTiesInListOrder)
{
    QList<RailMark> marks(4);
    marks[0].t = 0.0;
    marks[1].t = -5.0;
    marks[2].t = 0.0;
    marks[3].t = 0.9;
    EXPECT_EQ(stepOrder(marks), (QList<int>{1, 0, 2, 3}));
    EXPECT_EQ(stepNumbers(marks), (QList<int>{2, 1, 3, 4}));
}

TEST(RailLegend, namesEveryFillTheCardsDrawAndNoOther)
{
    QSet<RailFill> drawn;
    for (bool extend : {true, false}) {
        for (const QString mode : {"stop", "lead"}) {
            for (int delay : {0, 500}) {
                TimingInputs in;
                in.fadeExtendPause = extend;
                in.boundaryMode = mode;
                in.delayMs = delay;
                for (const Card &card : SwitchTimingView::makeCards(in)) {
                    for (const Case &c : card.cases) {
                        for (const QList<RailBand> &lane : {c.spec.music, c.spec.output}) {
                            for (const RailBand &band : lane)
                                drawn.insert(band.fill);
                        }
                    }
                }
            }
        }
    }
    const QList<RailFill> &legend = RailFills::shownFills();
    EXPECT_EQ(QSet<RailFill>(legend.begin(), legend.end()), drawn);
    QSet<QString> names;
    for (RailFill fill : legend)
        names.insert(RailFills::name(fill));
    EXPECT_EQ(names.size(), legend.size()) << "each fill has a name of its own";
}
