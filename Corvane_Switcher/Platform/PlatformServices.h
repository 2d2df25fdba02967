#pragma once

// The small layer that stands in for the platform services the windows and the model use.
// Each interface has a Linux implementation (LinuxPlatform.cpp) and tests use fakes.

#include "OutputDevice.h"
#include "SwitcherProtocol.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

// The default audio output device.
class OutputDeviceSource {
public:
    virtual ~OutputDeviceSource() = default;
    virtual std::optional<OutputDevice> defaultOutputDevice() = 0;
};

// Music.app: whether it runs, its quality setting, the scan of its local files, and whether a
// process audio tap can run on this system. On Linux Music.app never runs unless the fixture
// file "MusicApp.json" in the data folder says otherwise (demo and tests).
class MusicApp {
public:
    using ScanResult = std::variant<QList<SwitcherProtocol::LocalFileRow>, QString>; // rows or failure text
    virtual ~MusicApp() = default;
    virtual bool isRunning() = 0;
    virtual std::optional<SwitcherProtocol::MusicQuality> qualitySetting() = 0;
    // Completes on the main thread; fails with "Music.app isn't running" when it doesn't run.
    virtual void scanLocalFiles(std::function<void(ScanResult)> completion) = 0;
    // The platform's answer to "can a process audio tap run here?".
    virtual bool processTapSupported() = 0;
};

// Opening things and the application's presence.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Shows the file selected in the file manager, or at least opens its folder.
    virtual void revealFile(const QString &path) = 0;
    virtual void openWindow(const QString &id) = 0;
    virtual void activateApplication() = 0;
    // With no window open the application keeps running with no taskbar entry of its own.
    virtual void setAccessoryPolicy() = 0;
};

// The save and open panels.
class FilePanels {
public:
    struct ExportChoice {
        QString path;
        bool share = false; // a shared file (confirmed rates only) instead of a backup
    };
    virtual ~FilePanels() = default;
    // The "Export Backup" panel with its backup/share choice; none when cancelled.
    virtual std::optional<ExportChoice> chooseRateLibraryExport(const QString &suggestedName) = 0;
    // The "Import" panel for one file; none when cancelled.
    virtual std::optional<QString> chooseRateLibraryImport() = 0;
    // A save panel for a CSV file; none when cancelled.
    virtual std::optional<QString> chooseCsvDestination(const QString &suggestedName) = 0;
};

// Tells the user of a failure that no window is there to show: a file of ours set aside, a save
// that failed. The tray icon's notifications here.
class Notifications {
public:
    virtual ~Notifications() = default;
    virtual void notify(const QString &title, const QString &message) = 0;
};

// The set the model is made with; every pointer is owned by whoever made the set.
struct PlatformServices {
    OutputDeviceSource *outputDevices = nullptr;
    MusicApp *musicApp = nullptr;
    Workspace *workspace = nullptr;
    FilePanels *filePanels = nullptr;
    Notifications *notifications = nullptr;
};
