#pragma once

// Pictures of the open windows for the run command, on any platform: once the windows have
// their data (or after a bounded wait), each is saved as <dir>/<id>.png and the application
// quits. Only asked for explicitly; an application without a display otherwise runs on until it
// is told to quit, like any other.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class SwitcherModel;
class WindowScenes;

class ScreenshotMode final : public QObject {
    Q_OBJECT
public:
    static constexpr int pollMs = 100;
    static constexpr int settleMs = 600; // let first layouts and the first answers land
    static constexpr int maximumWaitMs = 3000;

    ScreenshotMode(WindowScenes &scenes, SwitcherModel &model, QString directory, QObject *parent = nullptr);

    // The folder to write to, or empty when the application should run normally: the value of
    // CORVANE_SWITCHER_SCREENSHOTS, whatever the platform.
    static QString directoryFromEnvironment();

    void start();
    // Whether every open window has what it waits for.
    bool ready() const;
    // Writes every open window; the ids written, in opening order.
    QStringList shoot();

signals:
    void finished(int exitCode);

private:
    void poll();

    WindowScenes &m_scenes;
    SwitcherModel &m_model;
    QString m_directory;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    bool m_failed = false;
};
