// The explainer's outputs when a companion lists very many: the choices read as the plain listing
// reads them, and a library of 100,000 distinct outputs reaches the window, whose output menu holds
// them all and picks any of them.

#include "WindowTestSupport.h"

#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/RateLibraryIndex.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <random>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;
using LearnedRates = SwitcherProtocol::LearnedRates;

namespace {

// The outputs the explainer offers, listed the plain way: the attached device's uid, then each
// of the companion's uids in order unless already listed, each paired with its readable name.
QList<std::pair<QString, QString>> plainChoices(const QList<LearnedRates::Output> &outputs,
                                                const std::optional<OutputDevice> &device)
{
    QStringList uids;
    if (device && device->uid)
        uids.append(*device->uid);
    for (const LearnedRates::Output &output : outputs) {
        if (!uids.contains(output.deviceUID))
            uids.append(output.deviceUID);
    }
    QList<std::pair<QString, QString>> choices;
    for (const QString &uid : uids)
        choices.append({uid, outputName(uid, device)});
    return choices;
}

QString uidOf(int i)
{
    return QStringLiteral("o%1").arg(i, 7, 10, QLatin1Char('0'));
}

} // namespace

TEST(RateLibraryOutputs, theChoicesReadAsThePlainListingWhereverTheDeviceAndRepeatsStand)
{
    std::mt19937 rng(24);
    const QStringList pool = {"dac",
                              "hdmi",
                              "AppleUSBAudioEngine:Maker: Model X :SN1:1",
                              "AirPlay:Living Room",
                              "BuiltInSpeakerDevice",
                              "usb:a:b:c",
                              "USB::a::b:c:d"};
    for (int round = 0; round < 300; ++round) {
        QList<LearnedRates::Output> outputs;
        for (int n = std::uniform_int_distribution<int>(0, 9)(rng); n > 0; --n)
            outputs.append({pool.at(std::uniform_int_distribution<int>(0, int(pool.size()) - 1)(rng)),
                            rng() % 2 == 0, std::nullopt});
        std::optional<OutputDevice> device;
        if (rng() % 3 != 0)
            device = FakePlatform::device(pool.at(std::uniform_int_distribution<int>(0, 2)(rng)), {44100},
                                          QStringLiteral(" My DAC "));
        LearnedRates rates;
        rates.outputs = outputs;
        const LibraryInputs in{std::make_shared<const RateLibraryIndex>(rates), std::nullopt, device};
        const OutputChoices choices = outputChoices(in);
        const auto expected = plainChoices(outputs, device);
        ASSERT_EQ(choices.toList(), expected) << "round " << round;
        // Every uid is found where the list has it; any other is not.
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_EQ(choices.indexOf(expected.at(i).first), i) << "round " << round;
        EXPECT_EQ(choices.indexOf(QStringLiteral("elsewhere")), -1);
        // The chosen output's record is the first the companion sent for it.
        LearnedRatesWindowView view;
        for (const QString &uid : pool) {
            view.deviceUID = uid;
            const auto first = std::find_if(outputs.begin(), outputs.end(),
                                            [&](const auto &output) { return output.deviceUID == uid; });
            EXPECT_EQ(chosenOutput(in, view),
                      first == outputs.end() ? std::nullopt : std::optional<LearnedRates::Output>(*first));
        }
    }
}

TEST(RateLibraryOutputs, aHundredThousandOutputsReachTheWindowWhoseMenuHoldsAndPicksThemAll)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const int rowsShown = w.tableModel()->rowCount();
    // The attached "dac" also stands among the companion's outputs, and one uid comes twice.
    LearnedRates library = fixtureLibrary();
    library.outputs.clear();
    constexpr int count = 100000;
    for (int i = 0; i < count; ++i)
        library.outputs.append({uidOf(i), i % 2 == 0, std::nullopt});
    library.outputs.insert(500, {QStringLiteral("dac"), true, std::nullopt});
    library.outputs.append({uidOf(7), false, true});
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    OutputCondition &condition = *w.explainer()->outputCondition();
    ASSERT_TRUE(eventually([&] { return condition.state().control.choices.size() == count + 1; }, 60000));
    EXPECT_EQ(condition.outputMenuButton()->text(), "Test DAC");
    EXPECT_EQ(w.tableModel()->rowCount(), rowsShown);

    // The menu: one list of every output, the attached one checked and current.
    QTest::mouseClick(condition.outputMenuButton(), Qt::LeftButton);
    QPointer<QMenu> menu;
    ASSERT_TRUE(
        eventually([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
    auto *list = menu->findChild<QAbstractItemView *>();
    ASSERT_NE(list, nullptr);
    QAbstractItemModel &rows = *list->model();
    ASSERT_EQ(rows.rowCount(), count + 1);
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_EQ(rows.index(0, 0).data().toString(), "Test DAC");
    EXPECT_EQ(rows.index(1, 0).data().toString(), uidOf(0));
    EXPECT_EQ(rows.index(count, 0).data().toString(), uidOf(count - 1));
    EXPECT_FALSE(rows.index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

    // Choosing the output half-way down stores its uid and closes the menu.
    const QModelIndex halfway = rows.index(count / 2 + 1, 0);
    list->scrollTo(halfway);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(halfway).center());
    EXPECT_EQ(w.view().deviceUID, uidOf(count / 2));
    EXPECT_TRUE(eventually([&] { return !menu || !menu->isVisible(); }));
    EXPECT_EQ(condition.outputMenuButton()->text(), uidOf(count / 2));
    EXPECT_EQ(chosenOutput(w.inputs(), w.view()),
              (LearnedRates::Output{uidOf(count / 2), true, std::nullopt}));
    // The keyboard moves in the list and chooses.
    QTest::mouseClick(condition.outputMenuButton(), Qt::LeftButton);
    ASSERT_TRUE(
        eventually([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
    // A popup's keys go to its focus widget: the list.
    QWidget *focus = menu->focusWidget();
    ASSERT_TRUE(focus && focus == menu->findChild<QAbstractItemView *>());
    QTest::keyClick(focus, Qt::Key_Down);
    QTest::keyClick(focus, Qt::Key_Down);
    QTest::keyPress(focus, Qt::Key_Return); // the menu goes with it
    EXPECT_EQ(w.view().deviceUID, uidOf(count / 2 + 2));
    EXPECT_TRUE(eventually([&] { return !menu || !menu->isVisible(); }));

    // A uid sent twice answers with its first record.
    condition.state().control.pick(8);
    EXPECT_EQ(w.view().deviceUID, uidOf(7));
    EXPECT_EQ(chosenOutput(w.inputs(), w.view()), (LearnedRates::Output{uidOf(7), false, std::nullopt}));
}

// Rows each at a rate of its own: the rate menu offers every rate, filled in one reset rather
// than item by item, left alone by a keystroke, and its choice filters the table.
TEST(RateLibraryRates, aLibraryOfManyDistinctRatesFillsTheRateMenuInOneReset)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(TierFilter::all());
    QComboBox &menu = *w.filterBar()->rateMenu();
    QSignalSpy inserted(menu.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(menu.model(), &QAbstractItemModel::modelReset);
    constexpr int count = 20000;
    o.peer.send(QStringLiteral("learnedRates"), libraryOfDistinctRates(count).toJson());
    ASSERT_TRUE(eventually([&] { return w.tableModel()->rowCount() == count; }, 30000));
    ASSERT_EQ(menu.count(), count + 1);
    EXPECT_EQ(menu.itemText(0), "Any rate");
    EXPECT_EQ(menu.itemText(1), "44.1 kHz");
    EXPECT_EQ(menu.currentIndex(), 0);
    EXPECT_EQ(inserted.count(), 0) << "not item by item";
    EXPECT_GE(resets.count(), 1);

    resets.clear();
    w.filterBar()->searchField()->setText(QStringLiteral("s"));
    EXPECT_EQ(resets.count(), 0) << "a keystroke leaves the menu alone";

    w.filterBar()->searchField()->clear();
    emit menu.activated(3);
    EXPECT_EQ(w.view().rateFilter, 44101);
    EXPECT_EQ(menu.currentIndex(), 3);
    EXPECT_EQ(w.tableModel()->rowCount(), 2) << "44100.5 and 44101 round to 44101 Hz, 44101.5 does not";
}
