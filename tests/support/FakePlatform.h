#pragma once

// Fakes of every platform interface, for the model's and the windows' tests: each one is plain
// data a test sets, and records what was asked of it.

#include "Platform/PlatformServices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class FakeOutputDevices final : public OutputDeviceSource {
public:
    std::optional<OutputDevice> device;

    std::optional<OutputDevice> defaultOutputDevice() override { return device; }
};

class FakeMusicApp final : public MusicApp {
public:
    bool running = false;
    std::optional<SwitcherProtocol::MusicQuality> quality;
    // What the next scan reports: rows, or a failure text.
    ScanResult scanResult = QList<SwitcherProtocol::LocalFileRow>{};
    bool tapSupported = true;
    // When true a scan waits until `finishScans()`, as Music.app's answer would.
    bool holdScans = false;
    int scans = 0;

    bool isRunning() override { return running; }
    std::optional<SwitcherProtocol::MusicQuality> qualitySetting() override { return quality; }
    void scanLocalFiles(std::function<void(ScanResult)> completion) override;
    bool processTapSupported() override { return tapSupported; }

    // Completes every held scan with `scanResult`.
    void finishScans();

private:
    QList<std::function<void(ScanResult)>> m_held;
};

class FakeWorkspace final : public Workspace {
public:
    int accessoryPolicyCalls = 0;
    QStringList revealed; // the files asked to be shown, in order

    void revealFile(const QString &path) override { revealed.append(path); }
    void openWindow(const QString &) override {}
    void activateApplication() override {}
    void setAccessoryPolicy() override { ++accessoryPolicyCalls; }
};

// Scripted panels: each answers with what the test put in, and remembers the suggested names.
class FakeFilePanels final : public FilePanels {
public:
    std::optional<ExportChoice> exportChoice;
    std::optional<QString> importChoice;
    std::optional<QString> csvChoice;
    QStringList suggestedNames;
    // Runs while a Rate Library panel is open, as the real panel's own event loop would run
    // whatever else happens meanwhile.
    std::function<void()> whileOpen;

    std::optional<ExportChoice> chooseRateLibraryExport(const QString &suggestedName) override;
    std::optional<QString> chooseRateLibraryImport() override;
    std::optional<QString> chooseCsvDestination(const QString &suggestedName) override;
};

// Every notification, in order.
class FakeNotifications final : public Notifications {
public:
    struct Shown {
        QString title;
        QString message;
    };
    QList<Shown> shown;

    void notify(const QString &title, const QString &message) override { shown.append({title, message}); }
};

struct FakePlatform {
    FakeOutputDevices outputDevices;
    FakeMusicApp musicApp;
    FakeWorkspace workspace;
    FakeFilePanels filePanels;
    FakeNotifications notifications;

    PlatformServices services()
    {
        return {&outputDevices, &musicApp, &workspace, &filePanels, &notifications};
    }

    // A device with the given uid that supports the listed rates exactly.
    static OutputDevice device(const QString &uid, const QList<double> &rates,
                               const QString &name = QStringLiteral("Test DAC"));
};
