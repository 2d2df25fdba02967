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
    const QColor primary = SystemColors::label(light), secondary = SystemColors::secondaryLabel(light);
    const QColor blue = SystemColors::blue(light), red = SystemColors::red(light), white(Qt::white);
    const QMarginsF wide(12, 5, 12, 5), narrow(9, 5, 9, 5);
    const QColor firstOutline = SystemColors::withOpacity(BrandColors::brandRedStart(), 0.45);
    const QColor otherOutline = SystemColors::withOpacity(primary, 0.12);
    const std::optional<QColor> none;
    const Group F = Group::first, B = Group::fallback, G = Group::also, A = Group::always;
    const auto demi = QFont::DemiBold, medium = QFont::Medium;
    const Fill control = Fill::controlBackground, brand = Fill::brandGradient;
    const struct {
        const char *name;
        Group section, now;
        bool selected;
        GroupStyle::TabStyle style;
    } cases[] = {
        {"fade, first choice", F, F, false, {blue, demi, primary, wide, control, firstOutline}},
        {"fade, shown", F, F, true, {white, demi, white, wide, brand, none}},
        {"fade, tap off", F, A, false, {none, demi, primary, wide, control, firstOutline}},
        {"stop, the fallback", B, B, false, {red, demi, primary, wide, control, otherOutline}},
        {"stop, the only method", B, F, false, {blue, demi, primary, wide, control, otherOutline}},
        {"lead, not chosen", G, A, false, {none, medium, secondary, narrow, Fill::none, none}},
        {"lead, shown", G, A, true, {none, demi, white, narrow, brand, none}},
        {"pick", A, G, false, {SystemColors::green(light), demi, primary, wide, control, otherOutline}},
    };
    for (const auto &k : cases)
        EXPECT_TRUE(GroupStyle::tabStyle(k.section, k.now, k.selected, light) == k.style) << k.name;
}

TEST(TabStyle, captionColourAndPanelsByGroup)
{
    // The captions themselves: the tab row as the window shows it.
    EXPECT_EQ(GroupStyle::captionColor(Group::first, Appearance::dark), BrandColors::brandRedStart());
    for (Appearance a : {Appearance::light, Appearance::dark}) {
        // The group table: a tint at 0.08 and a border at 0.55 of the group's colour, 1.5 points
        // wide; always on, no tint and a 1-point separator line.
        const struct {
            Group group;
            GroupStyle::PanelStyle style;
        } panels[] = {
            {Group::first,
             {SystemColors::withOpacity(SystemColors::blue(a), 0.08),
              SystemColors::withOpacity(SystemColors::blue(a), 0.55), 1.5}},
            {Group::fallback,
             {SystemColors::withOpacity(SystemColors::red(a), 0.08),
              SystemColors::withOpacity(SystemColors::red(a), 0.55), 1.5}},
            {Group::also,
             {SystemColors::withOpacity(SystemColors::green(a), 0.08),
              SystemColors::withOpacity(SystemColors::green(a), 0.55), 1.5}},
            {Group::always, {QColor(Qt::transparent), SystemColors::separator(a), 1.0}},
        };
        for (const auto &panel : panels)
            EXPECT_TRUE(GroupStyle::panelStyle(panel.group, a) == panel.style) << int(panel.group);
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
