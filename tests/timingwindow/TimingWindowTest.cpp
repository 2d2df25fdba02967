// The window as a user drives it: which card and case it shows, the card another window asks
// for, the flash of a setting row and what a click on a rail label does, the group colours.
#include "TimingWindowSupport.h"

#include "PictureProbe.h"
#include "Platform/FontStyles.h"
#include "SwitchTiming/CardHeader.h"
#include "SwitchTiming/CasePicker.h"
#include "SwitchTiming/GroupStyle.h"
#include "SwitchTiming/LoadFiguresCard.h"
#include "SwitchTiming/PanelSlot.h"
#include "SwitchTiming/RailLegend.h"
#include "SwitchTiming/RailSteps.h"
#include "SwitchTiming/SettingFlash.h"
#include "SwitchTiming/SettingRow.h"
#include "SwitchTiming/Stepper.h"
#include "SwitchTiming/SwitchToggle.h"
#include "SwitchTiming/TabStrip.h"
#include "SwitchTiming/ToneLabel.h"

#include <QLayout>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace TimingWindowTest;
using Group = SwitchTimingView::Group;

namespace {

// The centre of the first disc on the shown rail whose mark carries `key`.
QPoint discOf(SwitchTimingWindow &w, SettingKey key)
{
    for (const RailLayout::Mark &mark : w.cardPanel()->rail()->currentLayout().marks) {
        if (mark.setting == key)
            return mark.disc.center().toPoint();
    }
    ADD_FAILURE() << "no mark for " << rawValue(key).toStdString();
    return {};
}

bool lit(SwitchTimingWindow &w, SettingKey key)
{
    const QList<SettingRow *> rows = w.settingRows(key);
    return !rows.isEmpty() &&
           std::all_of(rows.begin(), rows.end(), [](SettingRow *row) { return row->isLit(); });
}

// How far `mid` has come from `from` towards `to`, measured on the channel where the two differ
// most: 0 at `from`, 1 at `to`; out of 0...1 when another channel leaves the span of the two.
double along(const QColor &mid, const QColor &from, const QColor &to)
{
    const int channels[3][3] = {{from.red(), to.red(), mid.red()},
                                {from.green(), to.green(), mid.green()},
                                {from.blue(), to.blue(), mid.blue()}};
    double result = 0;
    int widest = -1;
    for (const auto &[a, b, m] : channels) {
        if (m < std::min(a, b) - 2 || m > std::max(a, b) + 2)
            return -1;
        if (std::abs(b - a) > widest) {
            widest = std::abs(b - a);
            result = widest == 0 ? 0 : double(m - a) / (b - a);
        }
    }
    return result;
}

// The colour a tab shows at the start of its capsule, where only its fill is.
QColor tabFill(SwitchTimingWindow &w, const char *id)
{
    TabButton *tab = w.tabStrip()->tab(id);
    const QPoint inside(tab->layoutDirection() == Qt::LeftToRight ? 5 : tab->width() - 6, tab->height() / 2);
    return PictureProbe::picture(w).pixelColor(tab->mapTo(&w, inside));
}

// How far a rectangle `r` stands from the leading edge of `within`, in `direction`.
struct FromLeadingEdge {
    Qt::LayoutDirection direction;
    qreal operator()(const QRectF &r, const QRectF &within) const
    {
        return direction == Qt::LeftToRight ? r.left() - within.left() : within.right() - r.right();
    }
};

// Counts the layout passes asked of a widget.
struct LayoutRequests : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::LayoutRequest ? 1 : 0;
        return false;
    }
};

} // namespace

TEST(TimingWindow, theShownCardFollowsTheSettingsUntilATabIsClicked)
{
    ModelHarness h;
    setTextSize(1);
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    EXPECT_EQ(w.shownCardId(), "fade");
    h.model->setAudioTap(false);
    EXPECT_EQ(w.shownCardId(), "stop");
    h.model->setBoundaryMode("pause");
    EXPECT_EQ(w.shownCardId(), "pause");
    EXPECT_TRUE(w.tabStrip()->tab("pause")->isSelected()) << "chosen by default, still the selected tab";

    QTest::mouseClick(w.tabStrip()->tab("pick"), Qt::LeftButton);
    EXPECT_EQ(w.shownCardId(), "pick");
    EXPECT_TRUE(w.tabStrip()->tab("pick")->isSelected());
    EXPECT_FALSE(w.tabStrip()->tab("pause")->isSelected());
    h.model->setBoundaryMode("lead");
    EXPECT_EQ(w.shownCardId(), "pick") << "a clicked tab stays";

    // The radio in a method's title chooses the method.
    w.showCard("none");
    RadioTitle *radio = w.cardPanel()->header()->radio();
    ASSERT_TRUE(radio);
    EXPECT_FALSE(radio->isSelected());
    QTest::mouseClick(radio, Qt::LeftButton);
    EXPECT_EQ(h.model->boundaryMode(), "none");
    EXPECT_TRUE(w.cardPanel()->header()->radio()->isSelected());
}

TEST(TimingWindow, theCaseChosenOnTheFadeCardIsKeptWhileOtherCardsShow)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    CasePicker *picker = w.cardPanel()->casePicker();
    ASSERT_TRUE(picker);
    ASSERT_EQ(picker->chipRects().size(), 2);
    EXPECT_EQ(picker->chosen(), "found");
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->chipRects()[1].center().toPoint());
    EXPECT_EQ(w.shownCaseId(), "late");
    EXPECT_EQ(w.cardPanel()->casePicker()->chosen(), "late");

    w.showCard("stop");
    EXPECT_EQ(w.shownCaseId(), "stop");
    EXPECT_EQ(w.cardPanel()->casePicker(), nullptr) << "one case, no picker";
    w.showCard("fade");
    EXPECT_EQ(w.shownCaseId(), "late");
}

TEST(TimingWindow, aPickedTabOrCaseFadesThePanelsOverAndTheNewOneTakesClicksAtOnce)
{
    ModelHarness h;
    h.model->setBoundaryMode("stop");
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    QVariantAnimation &fade = w.panelFade();
    const QPointer<CardPanel> before = w.cardPanel();
    QTest::mouseClick(w.tabStrip()->tab("pause"), Qt::LeftButton);
    CardPanel *panel = w.cardPanel();
    ASSERT_NE(panel, before.data());
    EXPECT_TRUE(!before || before->isHidden()) << "the old panel takes no click nor focus";
    ASSERT_EQ(fade.state(), QAbstractAnimation::Running);
    ASSERT_TRUE(w.fadingPanel());
    EXPECT_EQ(w.fadingPanel()->pos(), panel->pos()) << "the old panel's picture, where it stood";
    // The new panel shows through the old one's picture as that fades out.
    const auto shownPart = [&] { return 1 - w.panelSlot()->fadingOpacity(); };

    // 0.15 s, easing in and out: slow at both ends, half-way at the middle.
    EXPECT_EQ(fade.duration(), 150);
    fade.setCurrentTime(30);
    EXPECT_LT(shownPart(), 0.2 - 0.05);
    fade.setCurrentTime(75);
    EXPECT_NEAR(shownPart(), 0.5, 0.01);
    fade.setCurrentTime(120);
    EXPECT_GT(shownPart(), 0.8 + 0.05);

    // Mid-way, a click where the panels meet reaches the new panel, and its radio works.
    fade.setCurrentTime(75);
    QWidget *content = w.scrollArea()->widget();
    QWidget *hit = content->childAt(panel->mapTo(content, panel->rect().center()));
    EXPECT_TRUE(hit == panel || panel->isAncestorOf(hit));
    QTest::mouseClick(panel->header()->radio(), Qt::LeftButton);
    EXPECT_EQ(h.model->boundaryMode(), "pause");

    fade.setCurrentTime(150);
    EXPECT_EQ(w.fadingPanel(), nullptr);
    EXPECT_EQ(panel->graphicsEffect(), nullptr);

    // A case chip fades too; hiding the window ends the change at once.
    w.showCard("fade");
    fade.setCurrentTime(150);
    w.chooseCase("late");
    fade.setCurrentTime(50);
    w.hide();
    EXPECT_EQ(fade.state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(w.fadingPanel(), nullptr);
    EXPECT_EQ(w.cardPanel()->graphicsEffect(), nullptr);
    w.show();

    // A card that follows the settings changes without a fade, as the radio's choice does.
    w.showCard("nonsense");
    fade.setCurrentTime(150);
    h.model->setAudioTap(false);
    EXPECT_EQ(w.shownCardId(), "pause");
    EXPECT_EQ(fade.state(), QAbstractAnimation::Stopped);
}

// The picked tab's look, the case chip's and the panel's height change with the panel, over the
// same 0.15 s ease-in-out, from what is shown; nothing waits for it.
TEST(TimingWindow, aPickChangesTheTabsLookAndThePanelsHeightFromWhatIsShown)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    QVariantAnimation &change = w.panelFade();
    ASSERT_EQ(w.shownCardId(), "fade");
    const QColor fadeSelected = tabFill(w, "fade"), pickUnselected = tabFill(w, "pick");
    const int tall = w.panelSlot()->height();
    const int hintBefore = w.closingHint()->y();

    QTest::mouseClick(w.tabStrip()->tab("pick"), Qt::LeftButton);
    ASSERT_EQ(change.state(), QAbstractAnimation::Running);
    change.pause(); // laying out below lets no time pass
    settle();
    EXPECT_EQ(tabFill(w, "pick"), pickUnselected) << "it starts from what was shown";
    EXPECT_EQ(w.panelSlot()->height(), tall);
    EXPECT_TRUE(w.tabStrip()->tab("pick")->isSelected()) << "what it is, at once";
    EXPECT_EQ(w.shownCardId(), "pick");

    change.setCurrentTime(75);
    settle();
    const int shortHeight = w.cardPanel()->height();
    ASSERT_LT(shortHeight, tall - 40) << "the pick card is the shorter";
    EXPECT_GT(w.panelSlot()->height(), shortHeight + 20);
    EXPECT_LT(w.panelSlot()->height(), tall - 20);
    EXPECT_EQ(w.closingHint()->y(), hintBefore - (tall - w.panelSlot()->height()))
        << "what is below moves with the height";
    const QColor pickMid = tabFill(w, "pick"), fadeMid = tabFill(w, "fade");
    // An unpicked tab of the same section keeps its look throughout.
    EXPECT_EQ(w.tabStrip()->tab("stop")->shownSelection(), 0);

    // The height neither waits nor loops: one pass settles it.
    LayoutRequests requests;
    w.scrollArea()->widget()->installEventFilter(&requests);
    change.setCurrentTime(110);
    settle();
    const int passes = requests.count;
    EXPECT_GE(passes, 1);
    settle();
    EXPECT_EQ(requests.count, passes) << "nothing asks again once laid out";
    w.scrollArea()->widget()->removeEventFilter(&requests);

    change.resume();
    change.setCurrentTime(150);
    settle();
    EXPECT_EQ(change.state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(w.panelSlot()->height(), w.cardPanel()->height());
    EXPECT_EQ(w.panelSlot()->height(), w.cardPanel()->heightForWidth(w.panelSlot()->width()));
    EXPECT_EQ(w.tabStrip()->tab("pick")->shownSelection(), 1);
    EXPECT_EQ(w.tabStrip()->tab("fade")->shownSelection(), 0);
    const QColor pickSelected = tabFill(w, "pick"), fadeUnselected = tabFill(w, "fade");
    EXPECT_TRUE(PictureProbe::near(pickSelected.rgb(), fadeSelected, 3)) << "the brand gradient";
    EXPECT_TRUE(PictureProbe::near(fadeUnselected.rgb(), pickUnselected, 3));
    // Mid-way each tab's fill stood half-way between its two looks.
    EXPECT_NEAR(along(pickMid, pickUnselected, pickSelected), 0.5, 0.1);
    EXPECT_NEAR(along(fadeMid, fadeSelected, fadeUnselected), 0.5, 0.1);
    const int hintAfter = w.closingHint()->y();
    EXPECT_EQ(hintAfter, hintBefore - (tall - shortHeight));

    // Back to the taller card, and mid-way a second pick: it starts from the height, the looks
    // and the picture shown then.
    w.showCard("fade");
    change.pause();
    change.setCurrentTime(75);
    settle();
    const int midHeight = w.panelSlot()->height();
    EXPECT_GT(midHeight, shortHeight + 20);
    EXPECT_LT(midHeight, tall - 20);
    const double fadeShown = w.tabStrip()->tab("fade")->shownSelection();
    EXPECT_NEAR(fadeShown, 0.5, 0.01);
    // A wider tab widens as it is picked: the lead tab's text turns semibold.
    TabButton *lead = w.tabStrip()->tab("lead");
    const int leadUnselected = lead->width();
    w.showCard("lead");
    change.pause();
    settle();
    EXPECT_EQ(w.panelSlot()->height(), midHeight);
    EXPECT_EQ(w.fadingPanel()->height(), midHeight) << "a picture of what was shown";
    EXPECT_NEAR(w.tabStrip()->tab("fade")->shownSelection(), fadeShown, 1e-9);
    EXPECT_NEAR(w.tabStrip()->tab("pick")->shownSelection(), 1 - fadeShown, 1e-9);
    change.setCurrentTime(75);
    settle();
    EXPECT_NEAR(w.tabStrip()->tab("fade")->shownSelection(), fadeShown / 2, 0.01);
    EXPECT_NEAR(w.tabStrip()->tab("pick")->shownSelection(), (1 - fadeShown) / 2, 0.01);
    EXPECT_NEAR(lead->shownSelection(), 0.5, 0.01);
    const int leadMid = lead->width();
    EXPECT_GT(leadMid, leadUnselected);
    change.resume();
    change.setCurrentTime(150);
    settle();
    EXPECT_GT(lead->width(), leadMid);
    EXPECT_EQ(lead->width(), lead->sizeHint().width());
    EXPECT_EQ(w.tabStrip()->tab("pick")->shownSelection(), 0);
    EXPECT_EQ(w.panelSlot()->height(), w.cardPanel()->height());

    // A case chip: the chosen chip's look goes over with the panel's picture.
    w.showCard("fade");
    change.setCurrentTime(150);
    settle();
    CasePicker *picker = w.cardPanel()->casePicker();
    ASSERT_TRUE(picker);
    const auto chipFill = [&](int index) {
        CasePicker *shownPicker = w.cardPanel()->casePicker();
        const QRectF chip = shownPicker->chipRects()[index];
        const QPoint inside(int(chip.left()) + 3, int(chip.center().y()));
        return PictureProbe::picture(w).pixelColor(shownPicker->mapTo(&w, inside));
    };
    const QColor foundChosen = chipFill(0), lateUnchosen = chipFill(1);
    ASSERT_NE(foundChosen, lateUnchosen);
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->chipRects()[1].center().toPoint());
    ASSERT_EQ(w.shownCaseId(), "late");
    change.pause();
    change.setCurrentTime(75);
    settle();
    EXPECT_NEAR(along(chipFill(1), lateUnchosen, foundChosen), 0.5, 0.1);
    EXPECT_NEAR(along(chipFill(0), foundChosen, lateUnchosen), 0.5, 0.1);
    // The tabs stay as they are: the picked card is still the one shown.
    EXPECT_EQ(w.tabStrip()->tab("fade")->shownSelection(), 1);
    EXPECT_EQ(w.tabStrip()->tab("lead")->shownSelection(), 0);
    // Hiding the window ends the change at once.
    w.hide();
    EXPECT_EQ(change.state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(w.fadingPanel(), nullptr);
    EXPECT_FALSE(w.panelSlot()->isChanging());
    EXPECT_EQ(w.tabStrip()->tab("fade")->shownSelection(), 1);
    w.show();
    settle();
    EXPECT_EQ(chipFill(1), foundChosen);
    EXPECT_EQ(chipFill(0), lateUnchosen);
}

TEST(TimingWindow, adoptsTheCardAnotherWindowAsksForAndClearsTheRequest)
{
    ModelHarness h;
    h.model->setVisualizerTab(QStringLiteral("pick"));
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    EXPECT_EQ(w.shownCardId(), "pick");
    EXPECT_EQ(h.model->visualizerTab(), std::nullopt);

    h.model->setVisualizerTab(QStringLiteral("lead"));
    EXPECT_EQ(w.shownCardId(), "lead") << "a request while the window is open switches at once";
    EXPECT_EQ(h.model->visualizerTab(), std::nullopt);

    h.model->setVisualizerTab(QStringLiteral("nonsense"));
    EXPECT_EQ(w.shownCardId(), "fade") << "no such card: the window's own choice";
    EXPECT_EQ(w.cardTableBuilds(), 3) << "one table per request, none for clearing it";
}

// The light comes on over 0.15 s, easing out, stays 1.8 s after the click and goes out over
// 0.6 s, easing in and out.
TEST(TimingWindow, aFlashComesOnHoldsAndGoesOutOnTheWindowsClock)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    SettingRow *threshold = w.settingRows(SettingKey::threshold).value(0);
    ASSERT_TRUE(threshold);

    w.flashSetting(SettingKey::threshold);
    EXPECT_TRUE(threshold->isLit());
    QVariantAnimation &in = threshold->flashAnimation();
    EXPECT_EQ(in.duration(), 150);
    in.setCurrentTime(75);
    EXPECT_GT(threshold->highlightOpacity(), 0.28 * 0.6) << "easing out: most of the way at half the time";
    in.setCurrentTime(150);
    EXPECT_DOUBLE_EQ(threshold->highlightOpacity(), 0.28);

    shown.clock.advance(1799);
    EXPECT_TRUE(threshold->isLit());
    shown.clock.advance(1);
    EXPECT_FALSE(threshold->isLit());
    QVariantAnimation &out = threshold->flashAnimation();
    EXPECT_EQ(out.duration(), 600);
    out.setCurrentTime(60);
    EXPECT_GT(threshold->highlightOpacity(), 0.28 * 0.9) << "easing in: slow to start";
    out.setCurrentTime(300);
    EXPECT_NEAR(threshold->highlightOpacity(), 0.14, 0.005);
    out.setCurrentTime(540);
    EXPECT_LT(threshold->highlightOpacity(), 0.28 * 0.1) << "easing out: slow to end";
    out.setCurrentTime(600);
    EXPECT_DOUBLE_EQ(threshold->highlightOpacity(), 0.0);
}

TEST(TimingWindow, aSecondClickRestartsTheFlashAndMovesIt)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;

    // The same key 1 s apart: lit until 1.8 s after the second click.
    w.flashSetting(SettingKey::minimumQuiet);
    shown.clock.advance(1000);
    w.flashSetting(SettingKey::minimumQuiet);
    shown.clock.advance(1799);
    EXPECT_TRUE(lit(w, SettingKey::minimumQuiet)) << "the first timer must not put out the second light";
    shown.clock.advance(1);
    EXPECT_FALSE(lit(w, SettingKey::minimumQuiet));

    // Another key: the light moves; only one row is lit at a time.
    w.flashSetting(SettingKey::threshold);
    shown.clock.advance(500);
    w.flashSetting(SettingKey::pausePoint);
    EXPECT_FALSE(lit(w, SettingKey::threshold));
    EXPECT_TRUE(lit(w, SettingKey::pausePoint));
    EXPECT_EQ(w.flash().flashed(), SettingKey::pausePoint);

    // A panel made while a row is lit shows it lit (here, the late case's own rows).
    w.chooseCase("late");
    EXPECT_TRUE(lit(w, SettingKey::pausePoint));
    shown.clock.advance(1800);
    EXPECT_EQ(w.flash().flashed(), std::nullopt);
}

TEST(TimingWindow, aClickOnAKeyedMarkLightsItsRowAndARelockMarkScrollsUp)
{
    ModelHarness h;
    setTextSize(3);
    Shown shown(h, QSize(720, 520));
    SwitchTimingWindow &w = shown.window;
    QScrollBar *bar = w.scrollArea()->verticalScrollBar();

    // A keyed mark: its row lights, nothing scrolls.
    bar->setValue(bar->maximum());
    const int bottom = bar->value();
    QTest::mouseClick(w.cardPanel()->rail(), Qt::LeftButton, {}, discOf(w, SettingKey::threshold));
    EXPECT_EQ(w.flash().flashed(), SettingKey::threshold);
    EXPECT_TRUE(lit(w, SettingKey::threshold));
    EXPECT_EQ(w.scrollAnimation().state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(bar->value(), bottom);

    // A step's link does the same.
    RailSteps *steps = w.cardPanel()->steps();
    for (const RailStepsLayout::Item &item : steps->currentLayout().items) {
        if (item.setting == SettingKey::listeningWindow)
            QTest::mouseClick(steps, Qt::LeftButton, {}, item.textRect.topLeft().toPoint() + QPoint(4, 4));
    }
    EXPECT_EQ(w.flash().flashed(), SettingKey::listeningWindow);

    // A mark that names the Relock Time scrolls the Relock Time's card to the top.
    w.showCard("lead");
    settle();
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), w.relockSection()->y());
    QTest::mouseClick(w.cardPanel()->rail(), Qt::LeftButton, {}, discOf(w, SettingKey::relock));
    EXPECT_TRUE(lit(w, SettingKey::relock));
    EXPECT_TRUE(w.relockRow()->isLit());
    ASSERT_EQ(w.scrollAnimation().state(), QAbstractAnimation::Running);
    w.scrollAnimation().setCurrentTime(SwitchTimingWindow::scrollMs);
    EXPECT_EQ(bar->value(), w.relockSection()->y());
    EXPECT_EQ(w.relockSection()->mapTo(w.scrollArea()->viewport(), QPoint(0, 0)).y(), 0);
}

// The tab row reads "First choice", "When there's no fade", "If you'd rather", "Always on" from
// the leading edge, and the legend begins there too, each swatch before its name; right to left
// both mirror while the rail's time still runs left to right.
TEST(TimingWindow, theTabRowAndTheLegendBeginAtTheLeadingEdgeAndTheRailsRunLeftToRight)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(direction == Qt::LeftToRight ? "left to right" : "right to left");
        w.setLayoutDirection(direction);
        settle();
        const FromLeadingEdge fromLeading{direction};

        const QRect strip = w.tabStrip()->contentsRect();
        QLayout &flow = *w.tabStrip()->layout();
        QStringList captions;
        for (int i = 0; i < flow.count(); ++i) {
            captions.append(flow.itemAt(i)->widget()->findChild<ToneLabel *>()->text());
            const QRect section = flow.itemAt(i)->geometry();
            const QRect before = i > 0 ? flow.itemAt(i - 1)->geometry() : QRect();
            const bool sameRow =
                i > 0 && section.top() <= before.bottom() && section.bottom() >= before.top();
            // Each section begins the row, or follows the one before it on its row.
            EXPECT_TRUE(sameRow ? fromLeading(section, strip) > fromLeading(before, strip) + before.width()
                                : fromLeading(section, strip) == 0)
                << "section " << i;
        }
        EXPECT_EQ(captions,
                  QStringList({"FIRST CHOICE", "WHEN THERE'S NO FADE", "IF YOU'D RATHER", "ALWAYS ON"}));

        const QRectF legendArea(w.legend()->rect());
        const QList<RailLegend::Item> legend = w.legend()->currentLayout().items;
        ASSERT_GE(legend.size(), 2);
        EXPECT_NEAR(fromLeading(legend[0].swatch, legendArea), 0, 1);
        for (qsizetype i = 0; i < legend.size(); ++i) {
            EXPECT_GT(fromLeading(legend[i].textRect, legendArea),
                      fromLeading(legend[i].swatch, legendArea) + legend[i].swatch.width())
                << i;
            if (i > 0 && legend[i].swatch.top() == legend[i - 1].swatch.top()) {
                EXPECT_GT(fromLeading(legend[i].swatch, legendArea),
                          fromLeading(legend[i - 1].textRect, legendArea) + legend[i - 1].textRect.width())
                    << i;
            }
        }

        const RailLayout rail = w.cardPanel()->rail()->currentLayout();
        EXPECT_LT(rail.musicLabelRect.right(), rail.musicLane.left());
        ASSERT_GE(rail.marks.size(), 2);
        for (qsizetype i = 1; i < rail.marks.size(); ++i)
            EXPECT_LE(rail.marks[i - 1].x, rail.marks[i].x) << "step " << i;
    }
}

// Inside a tab the dot leads its name, and the case chips run from the leading edge in the cases'
// order, where the arrow keys find them: to the right is the chip on the right.
TEST(TimingWindow, aTabsDotAndTheCaseChipsBeginAtTheLeadingEdge)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(direction == Qt::LeftToRight ? "left to right" : "right to left");
        w.setLayoutDirection(direction);
        w.chooseCase("found");
        w.panelFade().setCurrentTime(w.panelFade().duration());
        settle();
        const FromLeadingEdge fromLeading{direction};

        for (const char *id : {"fade", "stop"}) {
            TabButton &tab = *w.tabStrip()->tab(id);
            const GroupStyle::TabStyle &look = tab.tabStyle();
            const QRectF dot = tab.dotRect(look), text = tab.textRect(look);
            ASSERT_FALSE(dot.isEmpty()) << id;
            EXPECT_NEAR(fromLeading(dot, QRectF(tab.rect())), look.inset.left(), 0.01) << id;
            EXPECT_GT(fromLeading(text, QRectF(tab.rect())),
                      fromLeading(dot, QRectF(tab.rect())) + dot.width())
                << id;
        }

        CasePicker &picker = *w.cardPanel()->casePicker();
        const QList<QRectF> chips = picker.chipRects();
        ASSERT_EQ(chips.size(), 2);
        const QRectF row(picker.rect());
        EXPECT_NEAR(fromLeading(chips[0], row), 3, 1) << "the first case leads";
        EXPECT_GT(fromLeading(chips[1], row), fromLeading(chips[0], row) + chips[0].width());
        // The chip a click lands on is the chip drawn there.
        QTest::mouseClick(&picker, Qt::LeftButton, {}, chips[1].center().toPoint());
        EXPECT_EQ(w.shownCaseId(), "late");
        CasePicker &late = *w.cardPanel()->casePicker();
        const QList<QRectF> lateChips = late.chipRects();
        // To the right: "late" when it is on the right of "found", else back to "found".
        QTest::keyClick(&late, Qt::Key_Right);
        EXPECT_EQ(w.shownCaseId(), lateChips[1].center().x() > lateChips[0].center().x() ? "late" : "found");
    }
}

TEST(TimingWindow, groupColoursFollowTheTapTheSystemAndTheMode)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    const auto dot = [&](const char *id) { return w.tabStrip()->tab(id)->tabStyle().dot; };
    const auto appearance = SystemColors::appearanceOf(&w);
    // The styles themselves are the group rules' tests; here, that the tabs follow the model.
    w.showCard("stop");
    EXPECT_EQ(dot("stop"), QColor(Qt::white)) << "shown";
    EXPECT_EQ(w.cardPanel()->header()->badge()->text(), "Fallback Switch Method");
    w.showCard("pick");
    EXPECT_EQ(dot("stop"), SystemColors::red(appearance));

    h.model->setAudioTap(false);
    EXPECT_EQ(dot("stop"), SystemColors::blue(appearance));
    EXPECT_EQ(dot("fade"), std::nullopt);

    // Where the tap can't run, fade-out switching can't be turned on and is always-on grey.
    h.model->setAudioTap(true);
    h.platform.musicApp.tapSupported = false;
    w.showCard("fade");
    CardHeader *header = w.cardPanel()->header();
    EXPECT_FALSE(header->fadeToggle()->isEnabled());
    EXPECT_EQ(header->note()->text(), "needs macOS 14.4 or later");
    EXPECT_FALSE(header->badge()->isVisible()) << "the fade card is always on: no badge";
    EXPECT_EQ(dot("fade"), std::nullopt);
}

TEST(TimingWindow, settingsAreaLoadFiguresAndIntroductionFollowTheMeasuredLoad)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    EXPECT_FALSE(w.introduction()->text().contains("measured load"));
    w.showCard("lead");
    EXPECT_FALSE(w.cardPanel()->hasSettingsArea()) << "no settings, no load figures: no divider either";
    w.showCard("pause");
    EXPECT_TRUE(w.cardPanel()->hasSettingsArea());
    EXPECT_EQ(w.cardPanel()->loadFigures(), nullptr);
    w.showCard("stop");
    ASSERT_TRUE(w.cardPanel()->loadFigures());
    EXPECT_EQ(w.cardPanel()->loadFigures()->text(), "Music.app load not measured yet · about 0.9 s assumed");

    addMeasuredPlays(h);
    EXPECT_EQ(w.cardPanel()->loadFigures()->text(),
              "Music.app load · fastest 0.7 s · typical 1.0 s · slowest 2.4 s");
    EXPECT_TRUE(w.introduction()->text().startsWith(
        "Every method on one clock, drawn with your settings and Music.app's measured load."));
}

TEST(TimingWindow, aStepperClickRedrawsTheRailFromTheNewValue)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    SettingRow *row = w.settingRows(SettingKey::listeningWindow).value(0);
    ASSERT_TRUE(row && row->stepper());
    Stepper *stepper = row->stepper();
    const int builds = w.cardTableBuilds();
    QTest::mouseClick(stepper, Qt::LeftButton, {}, stepper->upArrowRect().center());
    EXPECT_DOUBLE_EQ(h.model->quietWindowSec(), 5.0);
    EXPECT_EQ(w.cardTableBuilds(), builds + 1);
    EXPECT_EQ(w.settingRows(SettingKey::listeningWindow).value(0), row) << "the row stays under the pointer";
    EXPECT_EQ(row->valueText(), "5000 ms");
    EXPECT_EQ(w.cardPanel()->rail()->spec().spans.value(0).label, "Listening Window 5000 ms");

    // At the top of its range the arrow does nothing.
    h.model->setQuietWindowSec(15.0);
    QTest::mouseClick(stepper, Qt::LeftButton, {}, stepper->upArrowRect().center());
    EXPECT_DOUBLE_EQ(h.model->quietWindowSec(), 15.0);
}

TEST(TimingWindow, everyFontFollowsTheTextSizeClampedToItsSteps)
{
    ModelHarness h;
    const auto introPoints = [&](int index) {
        setTextSize(index);
        Shown shown(h);
        return shown.window.introduction()->font().pointSizeF();
    };
    const qreal smallest = FontStyles::systemFont(11.5 * 0.9).pointSizeF();
    const qreal largest = FontStyles::systemFont(11.5 * 1.3).pointSizeF();
    EXPECT_DOUBLE_EQ(introPoints(-2), smallest);
    EXPECT_DOUBLE_EQ(introPoints(0), smallest);
    EXPECT_DOUBLE_EQ(introPoints(3), largest);
    EXPECT_DOUBLE_EQ(introPoints(9), largest);
}

TEST(TimingWindow, theKeyboardReachesWhatAClickReaches)
{
    ModelHarness h;
    Shown shown(h);
    SwitchTimingWindow &w = shown.window;
    TimelineRail *rail = w.cardPanel()->rail();
    // On the fade card's early case: the Listening Window's mark, then the Silence Threshold's.
    QList<SettingKey> reachable;
    for (const RailLayout::Hit &target : rail->currentLayout().keyedTargets())
        reachable.append(*target.setting);
    ASSERT_GE(reachable.size(), 2);
    EXPECT_EQ(reachable[0], SettingKey::listeningWindow);
    EXPECT_EQ(reachable[1], SettingKey::threshold);
    EXPECT_EQ(rail->focusPolicy(), Qt::TabFocus);
    QTest::keyClick(rail, Qt::Key_Return);
    EXPECT_EQ(w.flash().flashed(), SettingKey::listeningWindow);
    QTest::keyClick(rail, Qt::Key_Right);
    QTest::keyClick(rail, Qt::Key_Space);
    EXPECT_EQ(w.flash().flashed(), SettingKey::threshold);

    RailSteps *steps = w.cardPanel()->steps();
    QTest::keyClick(steps, Qt::Key_Down);
    QTest::keyClick(steps, Qt::Key_Return);
    EXPECT_EQ(w.flash().flashed(), SettingKey::threshold) << "the second linked step";

    w.showCard("none");
    EXPECT_EQ(w.cardPanel()->rail()->focusPolicy(), Qt::NoFocus) << "nothing to reach";
}
