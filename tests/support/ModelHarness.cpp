#include "ModelHarness.h"
#include "LoopbackPeer.h"

#include <QDir>

void TestClock::schedule(const QString &slot, int ms, std::function<void()> task)
{
    m_tasks[slot] = Task{m_now + std::max(0, ms), ++m_order, std::move(task)};
}

void TestClock::cancel(const QString &slot)
{
    m_tasks.erase(slot);
}

void TestClock::advance(qint64 ms)
{
    const qint64 target = m_now + ms;
    for (;;) {
        auto next = m_tasks.end();
        for (auto it = m_tasks.begin(); it != m_tasks.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == m_tasks.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == m_tasks.end())
            break;
        m_now = next->second.due;
        const auto run = std::move(next->second.run);
        m_tasks.erase(next);
        run();
    }
    m_now = target;
}

std::optional<qint64> TestClock::dueIn(const QString &slot) const
{
    const auto it = m_tasks.find(slot);
    if (it == m_tasks.end())
        return std::nullopt;
    return it->second.due - m_now;
}

ModelHarness::ModelHarness(const std::function<void(QSettings &, const QString &dir)> &prepare,
                           const std::function<void(PlatformServices &)> &adjust)
{
    // The link starts listening as the model is made. When a test binary running beside this one
    // has taken the port since it was found free, all is made again on another, from an empty
    // folder and a fresh platform: the test sees the model's start (a history set aside, what it
    // asked of the platform) once.
    startOnAFreePort([&](quint16 candidate) {
        if (model) {
            model.reset();
            settings.reset();
            platform = FakePlatform();
            QDir(dir.path()).removeRecursively();
            QDir().mkpath(dir.path());
        }
        settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        port = candidate;
        settings->setValue(QStringLiteral("switcher.port"), port);
        if (prepare)
            prepare(*settings, dir.path());
        auto engine = std::make_unique<RateSwitcher>(
            settings.get(), path(QStringLiteral("PlaybackHistory.json")), dir.path());
        auto testClock = std::make_unique<TestClock>();
        clock = testClock.get();
        PlatformServices services = platform.services();
        if (adjust)
            adjust(services);
        model = std::make_unique<SwitcherModel>(services, std::move(engine), std::move(testClock));
        return std::holds_alternative<SwitcherLink::Listening>(model->switcher().link().state());
    });
}

ModelHarness::~ModelHarness()
{
    model.reset();
}

bool pair(ModelHarness &h, LoopbackPeer &peer)
{
    return peer.connectTo(h.port) && eventually([&] { return h.switcher().link().isPeer(); });
}
