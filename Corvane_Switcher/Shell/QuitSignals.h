#pragma once

// SIGTERM (logout, shutdown, kill), SIGINT (Ctrl-C) and SIGHUP (the terminal went away) end the
// app as its Quit item does: through the event loop, so that everything is torn down in order,
// the pending history save written and the listener's port file removed. The handler only
// writes the signal's number to a pipe, all that a signal handler may safely do; the event loop
// reads the other end.

#include <QObject>

#include <memory>

class QSocketNotifier;

class QuitSignals final : public QObject {
    Q_OBJECT
public:
    // Called on the first line of main: from then on, to the end of the process, the signals only
    // write to the pipe, so that none can end the app before it quits in order. False when the
    // pipe cannot be made (the signals then keep their default behaviour).
    static bool catchFromStart();
    // Whether a signal came before the event loop could read it; says so in the log.
    static bool arrivedAlready();

    // Watches the pipe from the event loop.
    explicit QuitSignals(QObject *parent = nullptr);
    // Stops watching; a signal that comes while the app is torn down is still caught, and ignored.
    ~QuitSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

private:
    void arrived();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
