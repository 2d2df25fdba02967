// Texts from outside (a companion's notices, refusals and outputs, a device's name, a file's name)
// show as they are written: never read as markup where Qt takes a text that looks like it as rich
// text, never marking a shortcut where Qt takes "&" as doing so. And the rate menu over a library
// of very many rates opens at the cost of what it shows.

#include "CompanionAnswers.h"
#include "ReadTexts.h"
#include "WindowTestSupport.h"

#include "Common/ElidingLabel.h"
#include "Common/ShownText.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"
#include "RateLibrary/FooterBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QIdentityProxyModel>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <random>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;
using LearnedRates = SwitcherProtocol::LearnedRates;

namespace {

// Texts a companion or a file may carry that Qt would read as markup or as a shortcut.
QStringList hostileTexts()
{
    return {QStringLiteral("<img src=/etc/passwd>"), QStringLiteral("<b>x</b>"),
            QStringLiteral("Notes &lt;draft&gt; & more"),
            QStringLiteral("Tom & Jerry DAC <a href=\"file:///etc/passwd\">here</a>"),
            QStringLiteral("<table>").repeated(10000)};
}

// What the user reads in every tooltip the widgets under `root` show.
QStringList toolTipsUnder(QWidget &root)
{
    QStringList shown;
    QList<QPointer<QWidget>> widgets;
    // Qt's tooltip may be among them, and goes when the next one shows.
    for (QWidget *widget : root.findChildren<QWidget *>()) {
        if (widget->objectName() != u"qtooltip_label")
            widgets.append(widget);
    }
    for (const QPointer<QWidget> &widget : widgets) {
        if (widget && widget->isVisible() && !widget->toolTip().isEmpty())
            shown.append(ReadTexts::toolTipAt(widget, widget->rect().center()));
    }
    return shown;
}

void settle()
{
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents();
}

// Counts the item texts read through it.
class ReadCounter final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    mutable int reads = 0;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole)
            ++reads;
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

// Every text, random ones among them, shows as written: as a label's, tooltip's or message's text,
// as a menu item's, and in a window's title.
TEST(OutsideTexts, theHelpersShowEveryTextAsWritten)
{
    std::mt19937 rng(24);
    // Bits of markup, entities, shortcuts, white space and title marks, joined at random.
    const QStringList bits =
        QStringLiteral("<b>|</b>|<p>|<table>|<img src=/etc/passwd>|<a href=\"x\">|<br>|<qt>|<!doctype html>|"
                       "<?xml ?>|<!--|-->|&lt;|&gt;|&amp;|&#65;|<|>|&| |  |\n|\t|x|é|\U0001F3B5|[*]|\"|'")
            .split(u'|');
    QStringList texts = hostileTexts();
    texts << "Tom <3 <i>x</i>"
          << "  <p>leading spaces</p>"
          << "x\n<b>y</b>"
          << "<!DOCTYPE html><p>x</p>"
          << "Tom && Jerry"
          << "&Quit"
          << "ends with &"
          << ""
          << "plain";
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int n = std::uniform_int_distribution<int>(1, 24)(rng); n > 0; --n)
            text += bits.at(std::uniform_int_distribution<int>(0, int(bits.size()) - 1)(rng));
        texts << text;
    }
    for (const QString &text : texts) {
        EXPECT_EQ(ReadTexts::inLabel(ShownText::literal(text)).toStdString(), text.toStdString());
        const QString action = ShownText::actionText(text);
        EXPECT_EQ(ReadTexts::inAction(action).toStdString(), text.toStdString());
        EXPECT_TRUE(QKeySequence::mnemonic(action).isEmpty()) << qPrintable(text);
    }
    // A text that reads the same either way is left as it is.
    EXPECT_EQ(ShownText::literal(QStringLiteral("Tom <3 <i>x</i>")), "Tom <3 <i>x</i>");
    EXPECT_EQ(ShownText::literal(QStringLiteral("Tom & Jerry")), "Tom & Jerry");
    // A tooltip shows a line's worth of it, as written.
    const QString deep = hostileTexts().constLast();
    EXPECT_EQ(ReadTexts::inLabel(ShownText::toolTip(deep)), ShownText::bounded(deep));
    // A short line shows on one line, as a plain text as long would.
    QWidget anchor;
    anchor.show();
    QToolTip::showText(
        anchor.mapToGlobal(QPoint()),
        ShownText::toolTip(QStringLiteral("<b>Bold?</b> <img src=/etc/passwd> &lt;no&gt; — Tom & Jerry")),
        &anchor);
    QLabel *tip = ReadTexts::toolTipLabel();
    ASSERT_TRUE(tip);
    EXPECT_LT(tip->height(), 2 * tip->fontMetrics().lineSpacing());
    tip->hide();

    QWidget window;
    window.setWindowTitle(ShownText::windowTitle(QStringLiteral("Import “a[*]b [*][*].json”?")));
    window.show();
    EXPECT_EQ(window.windowHandle()->title(), "Import “a[*]b [*][*].json”?");
}

// The footer's notice, and a status that names a file or quotes a companion's refusal, read as
// written when the pointer rests on them.
TEST(OutsideTexts, theFooterShowsNoticesAndStatusesAsWrittenInItsHoverHelp)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    FooterBar &footer = *o.window->footerBar();
    LearnedRates library = fixtureLibrary();
    for (const QString &text : hostileTexts()) {
        library.notice = text;
        o.peer.send(QStringLiteral("learnedRates"), library.toJson());
        ASSERT_TRUE(eventually([&] { return footer.showsNotice() && footer.noticeText() == text; }));
        settle();
        EXPECT_TRUE(toolTipsUnder(footer).contains(ShownText::bounded(text))) << qPrintable(text.left(40));
    }
    library.notice.reset();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return !footer.showsNotice(); }));

    const QString name = QStringLiteral("<b>x & <img src=y>.json");
    ASSERT_TRUE(writeFile(o.h.path(name), R"({"rows":[]})"));
    o.h.model->previewImport(o.h.path(name));
    ASSERT_TRUE(eventually([&] { return footer.statusText().contains(name); }));
    settle();
    EXPECT_TRUE(toolTipsUnder(footer).contains(footer.statusText()));
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("rateLibraryImport")));
    SwitcherProtocol::RateLibraryImported refused = importAnswer(QStringLiteral("dryRun"), false);
    refused.refusal = QStringLiteral("<a href=\"file:///etc/passwd\">Refused</a>: <i>not yours</i>");
    o.peer.send(QStringLiteral("rateLibraryImported"), refused.toJson());
    ASSERT_TRUE(eventually([&] { return footer.statusText() == *refused.refusal; }));
    settle();
    EXPECT_TRUE(toolTipsUnder(footer).contains(*refused.refusal));
}

// Outputs named with "&" and markup: the output menu's items and its label show the names and
// make no shortcut; the only output's name shows as written.
TEST(OutsideTexts, outputNamesShowAsWrittenAndMakeNoShortcut)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.outputDevices.device =
        FakePlatform::device(QStringLiteral("dac"), {44100, 48000}, QStringLiteral("Tom & Jerry DAC"));
    o.h.model->pollPlatform();
    LearnedRates library = fixtureLibrary();
    library.outputs = {{QStringLiteral("AirPlay:A && B"), true, std::nullopt},
                       {QStringLiteral("AirPlay:&Quit"), false, std::nullopt},
                       {QStringLiteral("AirPlay:<b>bold</b> & <img src=/etc/passwd>"), true, std::nullopt}};
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    OutputCondition &condition = *o.window->explainer()->outputCondition();
    ASSERT_TRUE(eventually([&] { return condition.state().control.choices.size() == 4; }));
    const OutputChoices &choices = condition.state().control.choices;
    for (qsizetype i = 0; i < choices.size(); ++i)
        ASSERT_TRUE(choices.name(i).contains(u'&')) << qPrintable(choices.name(i));

    TextSymbolButton &button = *condition.outputMenuButton();
    EXPECT_EQ(button.label(), "Tom & Jerry DAC");
    EXPECT_EQ(ReadTexts::inAction(button.text()), "Tom & Jerry DAC");
    EXPECT_TRUE(QKeySequence::mnemonic(button.text()).isEmpty());

    QTest::mouseClick(&button, Qt::LeftButton);
    QPointer<QMenu> menu;
    ASSERT_TRUE(
        eventually([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), choices.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        EXPECT_EQ(ReadTexts::inAction(items.at(i)->text()), choices.name(i));
        EXPECT_TRUE(QKeySequence::mnemonic(items.at(i)->text()).isEmpty()) << qPrintable(items.at(i)->text());
    }
    saveScreenshot(*menu, "learned-output-menu-ampersands.png");
    menu->close();

    // The only output the switcher knows: its name in a label.
    library.outputs.clear();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    for (const QString &name : hostileTexts().mid(0, 4)) {
        o.h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("dac"), {44100}, name);
        o.h.model->pollPlatform();
        ASSERT_TRUE(eventually([&] {
            return condition.state().control.kind == OutputControl::Kind::name &&
                   condition.outputName()->fullText() == name;
        }));
        settle();
        EXPECT_EQ(ReadTexts::inLabel(*condition.outputName()), condition.outputName()->text());
        EXPECT_TRUE(name.startsWith(condition.outputName()->text().chopped(1)));
    }
}

// A library whose 20,000 rows each have a rate of their own: opening the rate menu reads the
// texts of the rows it shows, not of every rate, and every rate can still be chosen, with the
// pointer or the keyboard.
TEST(OutsideTexts, theRateMenuOpensOverManyRatesReadingOnlyWhatItShows)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(TierFilter::all());
    constexpr int count = 20000;
    LearnedRates library = libraryOfDistinctRates(count);
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return w.tableModel()->rowCount() == count; }, 30000));
    QComboBox &menu = *w.filterBar()->rateMenu();
    ASSERT_EQ(menu.count(), count + 1);
    settle();

    ReadCounter counter;
    counter.setSourceModel(menu.model());
    menu.setModel(&counter);
    menu.setCurrentIndex(0);
    const auto open = [&]() -> QAbstractItemView * {
        QTest::mouseClick(&menu, Qt::LeftButton);
        QWidget *popup = nullptr;
        if (!eventually([&] { return (popup = QApplication::activePopupWidget()); }))
            return nullptr;
        settle();
        return popup->findChild<QAbstractItemView *>();
    };
    counter.reads = 0;
    QAbstractItemView *list = open();
    ASSERT_NE(list, nullptr);
    EXPECT_LE(counter.reads, 400) << "texts read to open a menu of " << count + 1 << " items";
    QAbstractItemModel &rows = *list->model();
    ASSERT_EQ(rows.rowCount(), count + 1);
    EXPECT_EQ(list->currentIndex().row(), 0);
    EXPECT_EQ(rows.index(0, 0).data().toString(), "Any rate");
    EXPECT_EQ(rows.index(1, 0).data().toString(), "44.1 kHz");
    EXPECT_EQ(rows.index(count, 0).data().toString(), menu.itemText(count));
    saveScreenshot(*QApplication::activePopupWidget(), "learned-rate-menu-many-rates.png");

    // A click on the fourth item chooses 44,101 Hz and closes the menu.
    const QModelIndex fourth = rows.index(3, 0);
    list->scrollTo(fourth);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(fourth).center());
    EXPECT_EQ(w.view().rateFilter, 44101);
    EXPECT_EQ(menu.currentIndex(), 3);
    EXPECT_TRUE(eventually([&] { return !QApplication::activePopupWidget(); }));
    EXPECT_EQ(w.tableModel()->rowCount(), 2) << "44100.5 and 44101 round to 44101 Hz";

    // The keyboard: from the chosen rate, two down and Return.
    list = open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentIndex().row(), 3);
    QWidget *keys = QApplication::activePopupWidget()->focusWidget();
    ASSERT_TRUE(keys);
    QTest::keyClick(keys, Qt::Key_Down);
    QTest::keyClick(keys, Qt::Key_Down);
    QTest::keyClick(keys, Qt::Key_Return);
    EXPECT_EQ(w.view().rateFilter, 44102);
    EXPECT_EQ(menu.currentIndex(), 5);
    EXPECT_TRUE(eventually([&] { return !QApplication::activePopupWidget(); }));

    // Rates that change while the menu is open close it rather than offer what went.
    list = open();
    ASSERT_NE(list, nullptr);
    library.rows.removeLast();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    EXPECT_TRUE(eventually([&] { return !QApplication::activePopupWidget(); }, 30000));
    EXPECT_EQ(menu.count(), count);
}
