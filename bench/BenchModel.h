#pragma once

// What the benchmarks that make a model share: a clock that never moves (no device poll or
// other timer during a measurement) and a loopback port for the engine's link.

#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
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

// Waits (at most 5 s) until the model's link has taken its companion, then opens the Rate
// Library window at 1200 × 800, shown and laid out.
inline std::unique_ptr<QWidget> openLibraryWindowWhenPaired(SwitcherModel &model)
{
    QElapsedTimer waited;
    waited.start();
    while (!model.switcher().link().isPeer() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::unique_ptr<QWidget> window(makeLearnedRatesWindow(model));
    window->resize(1200, 800);
    window->show();
    QCoreApplication::processEvents();
    return window;
}
