// Window scenes by id, the window count they keep, the tray menu and the start-up requests.

#include "Shell/WindowScenes.h"
#include "LoopbackPeer.h"
#include "ModelHarness.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "RateLibraryFile.h"
#include "ReadTexts.h"
#include "Shell/AppShell.h"
#include "Shell/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(WindowScenes, OpenBringsAnOpenWindowForwardAndClosingEndsIt)
{
    ModelHarness h;
    int made = 0;
    const auto scene = [&](const QString &id, QSize minimum) {
        return SceneSpec{id, id.toUpper(), QSize(300, 200), minimum, [&](SwitcherModel &) -> QWidget * {
                             ++made;
                             return new QLabel;
                         }};
    };
    WindowScenes scenes(*h.model, {scene(u"one"_s, QSize()), scene(u"two"_s, QSize(350, 250))});
    QPointer<QWidget> one = scenes.openWindow(u"one"_s);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->windowTitle(), u"ONE"_s);
    EXPECT_TRUE(one->isVisible());
    EXPECT_EQ(scenes.openWindow(u"one"_s), one);
    EXPECT_EQ(made, 1);
    EXPECT_GE(scenes.openWindow(u"two"_s)->width(), 350); // never below its minimum
    EXPECT_EQ(h.model->openWindowCount(), 2);
    EXPECT_EQ(scenes.openWindow(u"nonexistent"_s), nullptr);

    one->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return one.isNull(); }, 5000));
    EXPECT_EQ(scenes.openWindowIds(), QStringList{u"two"_s});
    EXPECT_EQ(h.platform.workspace.accessoryPolicyCalls, 0);
    scenes.closeAll();
    EXPECT_EQ(h.model->openWindowCount(), 0);
    EXPECT_EQ(h.platform.workspace.accessoryPolicyCalls, 1);
    scenes.openWindow(u"one"_s);
    EXPECT_EQ(made, 3); // a new view each time
}

TEST(TrayMenu, ItemsOpenWindowsAndQuit)
{
    QStringList ids, opened;
    const QList<TrayMenuItem> items =
        trayMenuItems([&](const QString &id) { opened.append(id); }, [&] { opened.append(u"quit"_s); });
    TrayIcon tray(items); // offscreen there is no tray, but the menu and its actions still work
    for (const TrayMenuItem &item : items) {
        ids.append(item.id);
        if (!item.isSeparator())
            tray.menu()->findChild<QAction *>(item.id)->trigger();
    }
    EXPECT_EQ(ids, (QStringList{u"learned"_s, u"history"_s, u"timing"_s, QString(), u"quit"_s}));
    EXPECT_EQ(opened, (QStringList{u"learned"_s, u"history"_s, u"timing"_s, u"quit"_s}));
    EXPECT_EQ(items.last().title, u"Quit Corvane Zuvaradi"_s);
}

// Without a tray (offscreen) the user still hears of a failure: a message box each, and those
// reported before the shell made its tray wait for it.
TEST(TrayMenu, NotificationsWaitForTheShellAndComeAsMessageBoxesWithoutATray)
{
    const auto shownNotices = [] {
        QStringList shown;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->objectName() == u"failureNotice" && box->isVisible())
                shown.append(box->windowTitle() + u": "_s + box->text());
        }
        shown.sort();
        return shown;
    };
    TrayNotifications notifications;
    notifications.notify(u"Loading failed"_s, u"moved to /a"_s);
    EXPECT_TRUE(shownNotices().isEmpty());
    TrayIcon tray(trayMenuItems([](const QString &) {}, [] {}));
    EXPECT_FALSE(tray.showMessage(u"no"_s, u"tray"_s));
    notifications.attach(&tray);
    EXPECT_EQ(shownNotices(), QStringList{u"Loading failed: moved to /a"_s});
    notifications.notify(u"Saving failed"_s, u"disk full"_s);
    EXPECT_EQ(shownNotices(), (QStringList{u"Loading failed: moved to /a"_s, u"Saving failed: disk full"_s}));
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == u"failureNotice")
            widget->close();
}

// A notification's message names files: its message box reads it as written, never as markup or
// a link.
TEST(TrayMenu, ANotificationsMessageBoxReadsItsMessageAsWritten)
{
    const QString message = u"/data/<a href=\"file:///etc/passwd\">h</a>/<b>history</b>.json was set aside"_s;
    TrayNotifications notifications;
    notifications.attach(nullptr);
    notifications.notify(u"Loading failed"_s, message);
    QStringList read;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->objectName() == u"failureNotice" && box->isVisible()) {
            for (const QLabel *label : box->findChildren<QLabel *>())
                read.append(ReadTexts::inLabel(*label));
            box->close();
        }
    }
    EXPECT_TRUE(read.contains(message)) << qPrintable(read.join(u'\n'));
}

TEST(AppShell, TheRateLibraryDocumentAmongTheArguments)
{
    const std::pair<QStringList, std::optional<QString>> documents[] = {
        {{u"app"_s, u"Friends.corvanerates"_s}, QDir::current().absoluteFilePath(u"Friends.corvanerates"_s)},
        {{u"app"_s, u"-v"_s, u"/x/LIB.JSON"_s}, u"/x/LIB.JSON"_s},
        {{u"app"_s, u"notes.txt"_s}, std::nullopt},
        {{u"library.json"_s}, std::nullopt}, // the program itself
    };
    for (const auto &[arguments, document] : documents)
        EXPECT_EQ(AppShell::rateLibraryDocument(arguments), document) << arguments.join(' ').toStdString();
}

TEST(AppShell, OpensTheNamedWindowsAndTheRateLibraryFileItWasGiven)
{
    QTemporaryDir dir;
    const QString document = dir.filePath(u"Friends.corvanerates"_s);
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(RateLibraryFile::encode(R"({"rows":[]})")) > 0);
    file.close();
    qputenv("CORVANE_SWITCHER_SCREENSHOTS", dir.filePath(u"screens"_s).toLocal8Bit());
    qputenv("CORVANE_SWITCHER_OPEN", " history, ,nonexistent,history,");
    AppShell shell;
    const auto *listening = std::get_if<SwitcherLink::Listening>(&shell.model().switcher().link().state());
    ASSERT_TRUE(listening);
    LoopbackPeer peer;
    ASSERT_TRUE(peer.connectTo(listening->port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.model().switcher().link().isPeer(); }, 5000));

    shell.start({u"corvane-switcher"_s, document});
    qunsetenv("CORVANE_SWITCHER_OPEN");
    qunsetenv("CORVANE_SWITCHER_SCREENSHOTS");
    EXPECT_EQ(shell.scenes().openWindowIds(), (QStringList{u"history"_s, u"learned"_s}));
    EXPECT_EQ(shell.model().rateLibraryStatus(), u"Reading Friends.corvanerates…"_s);
    EXPECT_TRUE(peer.waitForType(u"rateLibraryImport"_s));

    // The workspace's open-window request reaches the scenes too.
    shell.model().platform().workspace->openWindow(u"timing"_s);
    const std::tuple<QString, QString, QSize> windows[] = {
        {u"learned"_s, u"Rate Library"_s, QSize(1080, 700)},
        {u"history"_s, u"Playback History"_s, QSize(960, 520)},
        {u"timing"_s, u"Switch Method Visualizer"_s, QSize(860, 760)},
    };
    for (const auto &[id, title, size] : windows) {
        SCOPED_TRACE(id.toStdString());
        const QWidget *window = shell.scenes().window(id);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_TRUE(window->width() >= size.width() && window->height() >= size.height());
    }
    EXPECT_EQ(shell.model().openWindowCount(), 3);
}

TEST(AppShell, ShowAllUnderTheRecentPlaysOpensTheHistoryWindow)
{
    QSettings().setValue(u"rateLibrary.historyExpanded"_s, true);
    AppShell shell;
    QWidget *learned = shell.scenes().openWindow(u"learned"_s);
    ASSERT_TRUE(learned);
    auto *library = learned->findChild<LearnedRatesWindow *>();
    ASSERT_TRUE(library);
    EXPECT_FALSE(shell.scenes().window(u"history"_s));
    QPushButton *showAll = library->explainer()->recentPlays()->showAllButton();
    ASSERT_TRUE(showAll->isVisible());
    QTest::mouseClick(showAll, Qt::LeftButton);
    EXPECT_TRUE(shell.scenes().window(u"history"_s));
    EXPECT_EQ(shell.scenes().openWindowIds(), (QStringList{u"learned"_s, u"history"_s}));
    QSettings().remove(u"rateLibrary.historyExpanded"_s);
}
