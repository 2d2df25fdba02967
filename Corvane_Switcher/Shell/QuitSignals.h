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
    explicit QuitSignals(QObject *parent = nullptr);
    // Gives the signals back their default behaviour.
    ~QuitSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

private:
    void arrived();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
