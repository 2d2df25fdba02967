#pragma once

// A SwitcherModel made for tests: fake platform, private settings and history file, a test clock
// instead of timers, and an engine whose link listens on a free loopback port of its own.

#include "FakePlatform.h"
#include "SwitcherModel.h"
#include "TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <memory>
#include <optional>

// Time that moves only when a test says so. Tasks due within an advance run in due order.
class TestClock final : public SwitcherModel::Clock {
public:
    void schedule(const QString &slot, int ms, std::function<void()> task) override;
    void cancel(const QString &slot) override;

    void advance(qint64 ms);
    // Milliseconds until the slot runs; none when it is not scheduled.
    std::optional<qint64> dueIn(const QString &slot) const;

private:
    struct Task {
        qint64 due = 0;
        quint64 order = 0;
        std::function<void()> run;
    };
    std::map<QString, Task> m_tasks;
    qint64 m_now = 0;
    quint64 m_order = 0;
};

struct ModelHarness {
    // `prepare` runs before the engine is made: seed settings or write files into `dir` then.
    // `adjust` may replace fakes with real platform services before the model is made.
    explicit ModelHarness(const std::function<void(QSettings &, const QString &dir)> &prepare = {},
                          const std::function<void(PlatformServices &)> &adjust = {});
    ~ModelHarness();

    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
    FakePlatform platform;
    TestClock *clock = nullptr; // owned by the model
    quint16 port = 0;
    std::unique_ptr<SwitcherModel> model;

    RateSwitcher &switcher() { return model->switcher(); }
    QString path(const QString &name) const { return dir.filePath(name); }
};

class LoopbackPeer;
// Connects `peer` to the model's link and waits until the link has taken it as its companion.
bool pair(ModelHarness &h, LoopbackPeer &peer);
