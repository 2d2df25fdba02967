#include "ScreenshotMode.h"

#include "Logging.h"
#include "SwitcherModel.h"
#include "WindowScenes.h"

#include <QDir>
#include <QWidget>

ScreenshotMode::ScreenshotMode(WindowScenes &scenes, SwitcherModel &model, QString directory, QObject *parent)
    : QObject(parent), m_scenes(scenes), m_model(model), m_directory(std::move(directory))
{
    m_timer.setInterval(pollMs);
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotMode::poll);
}

QString ScreenshotMode::directoryFromEnvironment()
{
    const QString given = qEnvironmentVariable("CORVANE_SWITCHER_SCREENSHOTS");
    return given.isEmpty() ? QString() : QDir(given).absolutePath();
}

void ScreenshotMode::start()
{
    m_elapsed.start();
    m_timer.start();
}

bool ScreenshotMode::ready() const
{
    // The Rate Library window needs the companion paired and its library arrived.
    if (m_scenes.window(QStringLiteral("learned")) &&
        (!m_model.switcher().link().isPeer() || !m_model.learnedRates()))
        return false;
    return !m_model.rateLibraryBusy();
}

void ScreenshotMode::poll()
{
    const qint64 elapsed = m_elapsed.elapsed();
    if (elapsed < settleMs)
        return;
    if (!ready() && elapsed < maximumWaitMs)
        return;
    m_timer.stop();
    if (!ready())
        qCWarning(lcUi, "screenshots: the windows' data did not all arrive within %d ms", maximumWaitMs);
    shoot();
    emit finished(m_failed ? 1 : 0);
}

QStringList ScreenshotMode::shoot()
{
    QStringList written;
    if (!QDir().mkpath(m_directory)) {
        qCCritical(lcUi, "screenshots: cannot create %s", qUtf8Printable(m_directory));
        m_failed = true;
        return written;
    }
    const QDir directory(m_directory);
    for (const QString &id : m_scenes.openWindowIds()) {
        QWidget *window = m_scenes.window(id);
        const QString path = directory.filePath(id + QStringLiteral(".png"));
        if (!window->grab().save(path)) {
            qCCritical(lcUi, "screenshots: could not write %s", qUtf8Printable(path));
            m_failed = true;
            continue;
        }
        qCInfo(lcUi, "screenshot of \"%s\": %s", qUtf8Printable(id), qUtf8Printable(path));
        written.append(id);
    }
    return written;
}
