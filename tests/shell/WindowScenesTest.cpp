// Window scenes by id, the window count they keep, the tray menu and the start-up requests.

#include "Shell/WindowScenes.h"
#include "FakePlatform.h"
#include "ModelHarness.h"
#include "Shell/AppShell.h"
#include "Shell/ScreenshotMode.h"
#include "Shell/TrayMenu.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Scenes {
    ModelHarness h;
    int made = 0;
    std::unique_ptr<WindowScenes> scenes;

    Scenes()
    {
        const auto label = [this](const QString &text) {
            return [this, text](SwitcherModel &) -> QWidget * {
                ++made;
                return new QLabel(text);
            };
        };
        scenes = std::make_unique<WindowScenes>(
            *h.model, QList<SceneSpec>{
                          {QStringLiteral("one"), QStringLiteral("One"), QSize(400, 300), QSize(),
                           label(QStringLiteral("first"))},
                          {QStringLiteral("two"), QStringLiteral("Two"), QSize(300, 200), QSize(350, 250),
                           label(QStringLiteral("second"))},
                      });
    }
};

} // namespace

TEST(WindowScenes, OpeningAnOpenWindowBringsItForward)
{
    Scenes s;
    QWidget *one = s.scenes->openWindow(QStringLiteral("one"));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->windowTitle(), QStringLiteral("One"));
    EXPECT_TRUE(one->isVisible());
    EXPECT_EQ(s.h.model->openWindowCount(), 1);

    EXPECT_EQ(s.scenes->openWindow(QStringLiteral("one")), one);
    EXPECT_EQ(s.made, 1);
    EXPECT_EQ(s.h.model->openWindowCount(), 1);

    QWidget *two = s.scenes->openWindow(QStringLiteral("two"));
    EXPECT_EQ(s.h.model->openWindowCount(), 2);
    EXPECT_GE(two->width(), 350); // never below its minimum
    EXPECT_EQ(s.scenes->openWindowIds(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(s.scenes->openWindow(QStringLiteral("nonexistent")), nullptr);
}

TEST(WindowScenes, ClosingDeletesTheViewAndReopeningMakesANewOne)
{
    Scenes s;
    QPointer<QWidget> one = s.scenes->openWindow(QStringLiteral("one"));
    s.scenes->openWindow(QStringLiteral("two"));
    one->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return one.isNull(); }, 5000));
    EXPECT_EQ(s.h.model->openWindowCount(), 1);
    EXPECT_EQ(s.h.platform.workspace.accessoryPolicyCalls, 0);
    EXPECT_EQ(s.scenes->openWindowIds(), QStringList{QStringLiteral("two")});

    s.scenes->closeAll();
    EXPECT_EQ(s.h.model->openWindowCount(), 0);
    EXPECT_EQ(s.h.platform.workspace.accessoryPolicyCalls, 1);

    s.scenes->openWindow(QStringLiteral("one"));
    EXPECT_EQ(s.made, 3);
    EXPECT_EQ(s.h.model->openWindowCount(), 1);
}

TEST(WindowScenes, TheStandardScenes)
{
    const QList<SceneSpec> scenes = standardScenes();
    ASSERT_EQ(scenes.size(), 3);
    EXPECT_EQ(scenes[0].id, QStringLiteral("learned"));
    EXPECT_EQ(scenes[0].title, QStringLiteral("Rate Library"));
    EXPECT_EQ(scenes[0].minimumSize, QSize(1000, 640));
    EXPECT_EQ(scenes[1].id, QStringLiteral("history"));
    EXPECT_EQ(scenes[1].title, QStringLiteral("Playback History"));
    EXPECT_EQ(scenes[1].defaultSize, QSize(960, 520));
    EXPECT_EQ(scenes[2].id, QStringLiteral("timing"));
    EXPECT_EQ(scenes[2].title, QStringLiteral("Switch Method Visualizer"));
    for (const SceneSpec &scene : scenes)
        EXPECT_TRUE(scene.makeRoot) << qPrintable(scene.id);
}

TEST(TrayMenu, ItemsOpenWindowsAndQuit)
{
    QStringList opened;
    int quits = 0;
    const QList<TrayMenuItem> items =
        trayMenuItems([&](const QString &id) { opened.append(id); }, [&] { ++quits; });
    QStringList ids;
    for (const TrayMenuItem &item : items) {
        ids.append(item.id);
        if (!item.isSeparator())
            item.action();
    }
    EXPECT_EQ(ids, (QStringList{QStringLiteral("learned"), QStringLiteral("history"),
                                QStringLiteral("timing"), QString(), QStringLiteral("quit")}));
    EXPECT_EQ(opened,
              (QStringList{QStringLiteral("learned"), QStringLiteral("history"), QStringLiteral("timing")}));
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(items.last().title, QStringLiteral("Quit Corvane Zuvaradi"));

    // Without a tray (offscreen) the menu still exists and its actions work.
    TrayIcon tray(items);
    EXPECT_FALSE(tray.isVisible());
    QAction *history = tray.menu()->findChild<QAction *>(QStringLiteral("history"));
    ASSERT_TRUE(history);
    history->trigger();
    EXPECT_EQ(opened.last(), QStringLiteral("history"));
}

TEST(AppShell, StartUpRequests)
{
    EXPECT_EQ(AppShell::windowIdsToOpen(QStringLiteral(" learned, ,history,learned,")),
              (QStringList{QStringLiteral("learned"), QStringLiteral("history")}));
    EXPECT_TRUE(AppShell::windowIdsToOpen(QString()).isEmpty());

    EXPECT_EQ(
        AppShell::rateLibraryDocument({QStringLiteral("app"), QStringLiteral("/tmp/Friends.corvanerates")}),
        QStringLiteral("/tmp/Friends.corvanerates"));
    EXPECT_EQ(AppShell::rateLibraryDocument(
                  {QStringLiteral("app"), QStringLiteral("-v"), QStringLiteral("/x/LIB.JSON")}),
              QStringLiteral("/x/LIB.JSON"));
    EXPECT_EQ(AppShell::rateLibraryDocument({QStringLiteral("app"), QStringLiteral("notes.txt")}),
              std::nullopt);
    EXPECT_EQ(AppShell::rateLibraryDocument({QStringLiteral("library.json")}),
              std::nullopt); // the program itself
    EXPECT_EQ(AppShell::rateLibraryDocument({QStringLiteral("app"), QStringLiteral("lib.json")}),
              QDir::current().absoluteFilePath(QStringLiteral("lib.json")));
}

TEST(AppShell, OpensTheWindowsTheEnvironmentNames)
{
    QTemporaryDir screens; // offscreen, the shell would take pictures here
    qputenv("CORVANE_SWITCHER_SCREENSHOTS", screens.path().toLocal8Bit());
    qputenv("CORVANE_SWITCHER_OPEN", "history, nonexistent");
    AppShell shell;
    shell.start({QStringLiteral("corvane-switcher")});
    qunsetenv("CORVANE_SWITCHER_OPEN");
    qunsetenv("CORVANE_SWITCHER_SCREENSHOTS");
    EXPECT_EQ(shell.scenes().openWindowIds(), QStringList{QStringLiteral("history")});
    EXPECT_EQ(shell.model().openWindowCount(), 1);
    // The workspace's open-window request reaches the scenes.
    shell.model().platform().workspace->openWindow(QStringLiteral("timing"));
    EXPECT_EQ(shell.scenes().openWindowIds(),
              (QStringList{QStringLiteral("history"), QStringLiteral("timing")}));
}

TEST(ScreenshotMode, WaitsForTheLibraryAndWritesEveryOpenWindow)
{
    Scenes s;
    QTemporaryDir out;
    ScreenshotMode mode(*s.scenes, *s.h.model, out.filePath(QStringLiteral("screens")));
    EXPECT_TRUE(mode.ready());

    s.scenes->openWindow(QStringLiteral("one"));
    s.scenes->openWindow(QStringLiteral("two"));
    EXPECT_EQ(mode.shoot(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    const QImage image(out.filePath(QStringLiteral("screens/two.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 350);

    // A Rate Library window waits for the companion's library.
    WindowScenes withLibrary(*s.h.model,
                             {{QStringLiteral("learned"), QStringLiteral("Rate Library"), QSize(100, 100),
                               QSize(), [](SwitcherModel &) -> QWidget * { return new QLabel; }}});
    ScreenshotMode waiting(withLibrary, *s.h.model, out.path());
    withLibrary.openWindow(QStringLiteral("learned"));
    EXPECT_FALSE(waiting.ready());
}
