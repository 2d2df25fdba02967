#pragma once

// What the benchmarks that make a model share: a clock that never moves (no device poll or
// other timer during a measurement) and a loopback port for the engine's link.

#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

class StillClock final : public SwitcherModel::Clock {
public:
    void schedule(const QString &, int, std::function<void()>) override {}
    void cancel(const QString &) override {}
};

// A loopback port nobody listens on right now (0 when none could be had).
inline quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// A temporary folder for what a benchmark's switcher keeps: the user's settings (where the
// windows keep theirs) and the engine's own, its link on a loopback port nobody listens on.
struct SwitcherFolder {
    // Points the user's settings at the folder, makes the engine's settings there and the engine
    // over them, its history at `historyPath` (by default history.json in the folder).
    std::unique_ptr<RateSwitcher> makeEngine(const QString &historyPath = {})
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        port = freePort();
        settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings->setValue(QStringLiteral("switcher.port"), port);
        return std::make_unique<RateSwitcher>(
            settings.get(),
            historyPath.isEmpty() ? dir.filePath(QStringLiteral("history.json")) : historyPath, dir.path());
    }

    QTemporaryDir dir;
    quint16 port = 0;
    std::unique_ptr<QSettings> settings;
};

// Runs the event loop, `sliceMs` at a time, until the model's link has taken its companion (at
// most 5 s); whether it has.
inline bool waitUntilPaired(SwitcherModel &model, int sliceMs = 20)
{
    QElapsedTimer waited;
    waited.start();
    while (!model.switcher().link().isPeer() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, sliceMs);
    return model.switcher().link().isPeer();
}

// Waits (at most 5 s) until the model's link has taken its companion, then opens the Rate
// Library window at 1200 × 800, shown and laid out.
inline std::unique_ptr<QWidget> openLibraryWindowWhenPaired(SwitcherModel &model)
{
    waitUntilPaired(model, 10);
    std::unique_ptr<QWidget> window(makeLearnedRatesWindow(model));
    window->resize(1200, 800);
    window->show();
    QCoreApplication::processEvents();
    return window;
}
