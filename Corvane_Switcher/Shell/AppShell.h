#pragma once

// The application as a whole: the platform, the shared model, the window scenes, the tray, and
// the start-up requests (windows named in CORVANE_SWITCHER_OPEN, a Rate Library file given on
// the command line, screenshot mode).

#include "Platform/LinuxPlatform.h"
#include "SingleInstance.h"
#include "SwitcherModel.h"
#include "TrayMenu.h"
#include "WindowScenes.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class ScreenshotMode;

class AppShell final : public QObject {
    Q_OBJECT
public:
    static constexpr int documentWaitMs = 5000;

    explicit AppShell(QObject *parent = nullptr);
    ~AppShell() override;

    // Opens what the environment and the arguments ask for; `arguments` as QCoreApplication
    // gives them (the program first).
    void start(const QStringList &arguments);

    SwitcherModel &model() { return *m_model; }
    WindowScenes &scenes() { return *m_scenes; }

    // The ids named in a CORVANE_SWITCHER_OPEN value ("learned, history"), without blanks.
    static QStringList windowIdsToOpen(const QString &value);
    // The first argument after the program that names a Rate Library file (".corvanerates" or
    // ".json"); this platform's way of opening a document with the application.
    static std::optional<QString> rateLibraryDocument(const QStringList &arguments);

    // What a launch asks for: the windows named in CORVANE_SWITCHER_OPEN and the document
    // among `arguments`.
    static LaunchRequest launchRequest(const QStringList &arguments);
    // Opens the request's windows and previews its document: start() does it for this launch,
    // and a later launch hands its request over to the running app.
    void handle(const LaunchRequest &request);

    // Opens the Rate Library window and previews the import of `path` once the companion is
    // paired (or after documentWaitMs, when the preview step refuses with its status text).
    void openRateLibraryDocument(const QString &path);

private:
    LinuxPlatform m_platform;
    TrayNotifications m_notifications;
    std::unique_ptr<SwitcherModel> m_model;
    std::unique_ptr<WindowScenes> m_scenes;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<ScreenshotMode> m_screenshots;
};
