// The explainer in the window: hovering recent plays, the History toggle and what they leave
// alone, the output picker, the popover, and the Dolby Atmos answer over a real link with the
// stand-in companion.

#include "CompanionProcess.h"
#include "ExplainerFixtures.h"
#include "PaintCounter.h"
#include "RateLibraryFixtures.h"
#include "WindowTestSupport.h"

#include "RateLibrary/Explainer/AtmosInfoPopover.h"
#include "RateLibrary/Explainer/LatestPlayStrip.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/PredictionOrder.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;

namespace {

void settle()
{
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents();
}

// Runs the History toggle's animation to its end, whichever way it runs.
void finishToggle(PredictionExplainer &explainer)
{
    QVariantAnimation &animation = explainer.toggleAnimation();
    animation.setCurrentTime(animation.direction() == QAbstractAnimation::Forward ? animation.duration() : 0);
    settle();
}

// The fixture library's output whose record says both what plays taught and the user's answer.
const QString receiver = QStringLiteral("AppleHDMIAudioEngine:Denon AVR-X3800H:6A2F");

} // namespace

TEST(ExplainerWindow, hoveringARecentPlayLightsItsStepAndTintsItsPeersWithoutTouchingTheTable)
{
    ExplainerFixtures::setHistoryExpanded(true);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    ExplainerFixtures::addPlays(o.h, ExplainerFixtures::evening());
    LearnedRatesWindow &w = *o.window;
    EXPECT_TRUE(w.view().historyExpanded) << "as the stored preference says";
    settle();
    PredictionExplainer &explainer = *w.explainer();
    RecentPlaysRows &rows = *explainer.recentPlays()->rows();
    StepsRow &steps = *explainer.predictionOrder()->steps();
    ASSERT_EQ(rows.plays().size(), 8);
    ASSERT_EQ(rows.plays()[6].title, "Avril 14th"); // step 1, as is "Everything in Its Right Place"
    EXPECT_EQ(steps.litStep(), 2);                  // the latest play's

    QTest::mouseMove(explainer.latestPlay(), explainer.latestPlay()->rect().center());
    settle();
    QSignalSpy resets(w.tableModel(), &QAbstractItemModel::modelReset);
    const int filtered = w.filterPasses();
    PaintCounter tablePaints;
    w.table()->viewport()->installEventFilter(&tablePaints);

    QTest::mouseMove(&rows, rows.rowRect(6).center());
    EXPECT_EQ(w.view().hoveredRowID, rows.plays()[6].id);
    EXPECT_EQ(steps.litStep(), 1);
    QList<RowTint> tints;
    for (int r = 0; r < rows.plays().size(); ++r)
        tints.append(rows.tintOfRow(r));
    using T = RowTint;
    EXPECT_EQ(tints, QList<RowTint>(
                         {T::latest, T::none, T::none, T::sameStep, T::none, T::none, T::sameStep, T::none}));

    // Straight into the next row, then onto the latest play line.
    QTest::mouseMove(&rows, rows.rowRect(7).center());
    EXPECT_EQ(w.view().hoveredRowID, rows.plays()[7].id);
    EXPECT_EQ(steps.litStep(), 4);
    QTest::mouseMove(explainer.latestPlay(), explainer.latestPlay()->rect().center());
    EXPECT_EQ(w.view().hoveredRowID, std::nullopt);
    EXPECT_EQ(steps.litStep(), 2);
    settle();
    EXPECT_EQ(tablePaints.paints, 0); // hovering repaints the header only

    // Collapsing and expanding: remembered in the settings, and the table neither reset nor filtered.
    QTest::mouseClick(explainer.latestPlay()->historyToggle(), Qt::LeftButton);
    finishToggle(explainer);
    EXPECT_FALSE(explainer.recentPlaysCard()->isVisible());
    EXPECT_EQ(explainer.latestPlay()->corners(), (StripCorners{6, 6}));
    EXPECT_FALSE(QSettings().value(QStringLiteral("rateLibrary.historyExpanded")).toBool());
    QTest::mouseClick(explainer.latestPlay()->historyToggle(), Qt::LeftButton);
    EXPECT_EQ(explainer.latestPlay()->historyToggle()->symbol(), "chevron.up");
    finishToggle(explainer);
    EXPECT_TRUE(explainer.recentPlaysCard()->isVisible());
    EXPECT_EQ(explainer.latestPlay()->corners(), (StripCorners{6, 0}));
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(w.filterPasses(), filtered);

    // A new window starts as the last one left it; a new play comes on top.
    ExplainerFixtures::setHistoryExpanded(false);
    LearnedRatesWindow collapsed(*o.h.model);
    EXPECT_FALSE(collapsed.view().historyExpanded);
    o.h.switcher().history().append(HistoryFixtures::play("Hyperballad", "Björk", 48000, "x/pinned", 48000));
    EXPECT_EQ(rows.plays().first().title, "Hyperballad");
    EXPECT_EQ(rows.tintOfRow(0), RowTint::latest);
    EXPECT_EQ(steps.litStep(), 1);
    EXPECT_TRUE(explainer.latestPlay()->summary().startsWith("Hyperballad — 48 kHz from step 1, Fixed rate"));
    // A cleared history lights nothing.
    o.h.switcher().history().clear();
    EXPECT_EQ(steps.litStep(), std::nullopt);
    EXPECT_EQ(explainer.recentPlays()->footerText(), "Last 0 plays. Hover a row to light its step above.");
}

TEST(ExplainerWindow, aPlayArrivingUnderARestingPointerIsTheOneHoveredAndLeavingClearsIt)
{
    ExplainerFixtures::setHistoryExpanded(true);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    ExplainerFixtures::addPlays(o.h, ExplainerFixtures::evening());
    settle();
    PredictionExplainer &explainer = *o.window->explainer();
    RecentPlaysRows &rows = *explainer.recentPlays()->rows();
    StepsRow &steps = *explainer.predictionOrder()->steps();
    QTest::mouseMove(&rows, rows.rowRect(2).center());
    ASSERT_EQ(rows.plays()[2].title, "Angel"); // step 3
    ASSERT_EQ(steps.litStep(), 3);

    // A new play moves every row down one under the resting pointer, which now rests on "Jóga".
    o.h.switcher().history().append(
        HistoryFixtures::play("Hyperballad", "Björk", 44100, "x/tags+ladder", 44100));
    ASSERT_EQ(rows.plays()[2].title, "Jóga"); // step 2
    EXPECT_EQ(o.window->view().hoveredRowID, rows.plays()[2].id);
    EXPECT_EQ(steps.litStep(), 2);

    // Off the table: nothing hovered, the new play's step lit, no row tinted for a step.
    QTest::mouseMove(explainer.predictionOrder(), explainer.predictionOrder()->rect().center());
    EXPECT_EQ(o.window->view().hoveredRowID, std::nullopt);
    EXPECT_EQ(steps.litStep(), 4);
    for (int row = 1; row < rows.plays().size(); ++row)
        EXPECT_EQ(rows.tintOfRow(row), RowTint::none) << row;
}

TEST(ExplainerWindow, aPickedOutputOutlivesAChangeOfTheAttachedDeviceAndThePopoverClosesItsFlag)
{
    ExplainerFixtures::setHistoryExpanded(false);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    OutputCondition &condition = *w.explainer()->outputCondition();
    // The attached "Test DAC" first, then the companion's four outputs.
    EXPECT_EQ(
        RateLibraryFixtures::titles(condition.state().control.items()),
        QStringList({"Test DAC", "BuiltInSpeakerDevice", "DacMagic 200M", receiver, "AirPlay:Living Room"}));
    EXPECT_EQ(condition.outputMenuButton()->text(), "Test DAC");

    // The menu as it opens: the attached output checked; choosing another stores its uid.
    QTest::mouseClick(condition.outputMenuButton(), Qt::LeftButton);
    QMenu *menu = nullptr;
    ASSERT_TRUE(
        eventually([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
    ASSERT_EQ(menu->actions().size(), 5);
    EXPECT_TRUE(menu->actions().at(0)->isChecked());
    EXPECT_FALSE(menu->actions().at(3)->isChecked());
    menu->actions().at(3)->trigger();
    menu->close();
    EXPECT_EQ(w.view().deviceUID, receiver);
    EXPECT_EQ(condition.outputMenuButton()->text(), receiver);
    EXPECT_EQ(condition.answerButton()->text(), "Dolby Atmos–compatible");
    o.h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("usb"), {44100}, "Other DAC");
    o.h.model->pollPlatform();
    EXPECT_EQ(condition.outputMenuButton()->text(), receiver);
    EXPECT_EQ(condition.answerButton()->text(), "Dolby Atmos–compatible");

    // Music.app set to play Atmos everywhere: no question.
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, QStringLiteral("always")};
    o.h.model->pollPlatform();
    EXPECT_TRUE(condition.answerButton()->isHidden());

    // The info button opens the popover; closing it by any means clears the flag.
    QTest::mouseClick(condition.infoButton(), Qt::LeftButton);
    EXPECT_TRUE(w.view().showAtmosInfo);
    AtmosInfoPopover *popover = w.explainer()->atmosInfo();
    ASSERT_TRUE(popover && popover->isVisible());
    ASSERT_EQ(popover->outcomeRows().size(), 2);
    // The outcome's rate stands out, the track does not.
    EXPECT_TRUE(popover->outcomeRows()[1]->chips().last().highlighted);
    EXPECT_FALSE(popover->outcomeRows()[1]->chips().first().highlighted);
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_FALSE(w.view().showAtmosInfo);
    QTest::mouseClick(condition.infoButton(), Qt::LeftButton);
    EXPECT_TRUE(popover->isVisible() && w.view().showAtmosInfo);
    popover->close();
    EXPECT_FALSE(w.view().showAtmosInfo);
}

// The stand-in companion logs every message it receives; these are the lines that are neither the
// pairing's nor the subscription's.
QStringList atmosMessages(CompanionProcess &companion)
{
    QStringList lines;
    for (const QString &line : companion.standardError().split(u'\n')) {
        const qsizetype at = line.indexOf(QStringLiteral("received "));
        if (at >= 0 && (line.contains(u"setDeviceAtmos") || line.contains(u"resetOutput")))
            lines.append(line.mid(at + 9));
    }
    return lines;
}

TEST(ExplainerWindow, theAnswerMenuAndForgetSendTheirMessagesAndTheMenuClosesWhenTheCompanionLeaves)
{
    ExplainerFixtures::setHistoryExpanded(false);
    ModelHarness h;
    h.platform.outputDevices.device = FakePlatform::device(receiver, {48000}, "Denon AVR-X3800H");
    h.model->pollPlatform();
    LearnedRatesWindow w(*h.model);
    w.show();
    CompanionProcess companion(h.port, true);
    ASSERT_TRUE(companion.start()) << companion.errorText().toStdString();
    ASSERT_TRUE(eventually([&] { return h.model->learnedRates().has_value(); }));

    OutputCondition &condition = *w.explainer()->outputCondition();
    QPushButton &answer = *condition.answerButton();
    EXPECT_TRUE(answer.isEnabled());
    EXPECT_EQ(answer.text(), "Dolby Atmos–compatible");
    QMenu &menu = *condition.answerMenu();
    const auto choose = [&](int index) {
        emit menu.aboutToShow(); // as opening it does: the items as they stand now
        ASSERT_LT(index, menu.actions().size());
        menu.actions().at(index)->trigger();
    };
    const auto waitForLines = [&](qsizetype count) {
        return eventually([&] { return atmosMessages(companion).size() >= count; });
    };

    choose(0); // "Learn from plays": the learned answer shows once the companion says so
    ASSERT_TRUE(waitForLines(1));
    ASSERT_TRUE(eventually([&] { return condition.sentence().endsWith("Learned from plays."); }));
    EXPECT_EQ(answer.text(), "Dolby Atmos–compatible");
    choose(2);
    ASSERT_TRUE(waitForLines(2));
    ASSERT_TRUE(eventually([&] { return answer.text() == "Not Dolby Atmos–compatible"; }));
    choose(1);
    ASSERT_TRUE(waitForLines(3));
    ASSERT_TRUE(eventually([&] { return answer.text() == "Dolby Atmos–compatible"; }));
    emit menu.aboutToShow();
    ASSERT_EQ(menu.actions().size(), 5);
    EXPECT_TRUE(menu.actions().at(3)->isSeparator());
    EXPECT_EQ(menu.actions().at(4)->text(), "Forget what plays learned");
    menu.actions().at(4)->trigger();
    ASSERT_TRUE(waitForLines(4));
    // The stand-in forgets the whole record: nothing learned, nothing to forget.
    ASSERT_TRUE(eventually([&] { return answer.text() == "Learn from plays"; }));
    emit menu.aboutToShow();
    EXPECT_EQ(menu.actions().size(), 3);

    const QString uid = "\"deviceUID\":\"" + receiver + "\"";
    EXPECT_EQ(
        atmosMessages(companion),
        QStringList({"setDeviceAtmos {" + uid + "}", "setDeviceAtmos {\"atmosOutput\":false," + uid + "}",
                     "setDeviceAtmos {\"atmosOutput\":true," + uid + "}", "resetOutput {" + uid + "}"}));

    companion.process().kill();
    ASSERT_TRUE(companion.waitForFinished());
    EXPECT_TRUE(eventually([&] { return !answer.isEnabled(); }));
    EXPECT_TRUE(answer.isVisible());
}
