#pragma once

// How long the main thread could not run its event loop (a frozen window); memory is
// BenchMemory.h's.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// Measures the longest gap between two wake-ups of the main thread's event loop: a ticking
// timer asks to run every millisecond, so a long gap is a stretch where the loop could not run.
class StallMeter final {
public:
    StallMeter()
    {
        m_timer.setInterval(1);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The stretch since the last wake-up counts too: a stall that ends the measured work is seen
    // by no later tick.
    double stopMs()
    {
        m_timer.stop();
        m_longest = std::max(m_longest, m_clock.nsecsElapsed() - m_last);
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
