#pragma once

// What the benchmarks that make a model share: a clock that never moves (no device poll or
// other timer during a measurement) and a loopback port for the engine's link.

#include "SwitcherModel.h"

#include <QHostAddress>
#include <QTcpServer>

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
