#include "AppShell.h"

#include "Logging.h"
#include "ScreenshotMode.h"
#include "TrayMenu.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

AppShell::AppShell(QObject *parent) : QObject(parent)
{
    PlatformServices services = m_platform.services();
    services.notifications = &m_notifications;
    m_model = std::make_unique<SwitcherModel>(services);
    m_scenes = std::make_unique<WindowScenes>(*m_model, standardScenes());
    m_platform.workspace.onOpenWindow = [this](const QString &id) { m_scenes->openWindow(id); };
    m_platform.workspace.onActivate = [this] { m_scenes->activate(); };
}

AppShell::~AppShell()
{
    // Windows read the model until they are gone.
    m_screenshots.reset();
    m_tray.reset();
    m_scenes.reset();
    m_platform.workspace.onOpenWindow = nullptr;
    m_platform.workspace.onActivate = nullptr;
}

QStringList AppShell::windowIdsToOpen(const QString &value)
{
    QStringList ids;
    for (const QString &piece : value.split(QLatin1Char(','))) {
        const QString id = piece.trimmed();
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

std::optional<QString> AppShell::rateLibraryDocument(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        if (argument.endsWith(QLatin1String(".corvanerates"), Qt::CaseInsensitive) ||
            argument.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
            return QFileInfo(argument).absoluteFilePath();
    }
    return std::nullopt;
}

void AppShell::start(const QStringList &arguments)
{
    const QString screenshotDirectory = ScreenshotMode::directoryFromEnvironment();
    if (screenshotDirectory.isEmpty()) {
        m_tray = std::make_unique<TrayIcon>(trayMenuItems(
            [this](const QString &id) { m_scenes->openWindow(id); }, [] { QCoreApplication::quit(); }));
    }

    // Failures met while starting (a history file set aside) waited for the tray.
    m_notifications.attach(m_tray.get());

    handle(launchRequest(arguments));

    if (!screenshotDirectory.isEmpty()) {
        m_screenshots = std::make_unique<ScreenshotMode>(*m_scenes, *m_model, screenshotDirectory);
        connect(m_screenshots.get(), &ScreenshotMode::finished, qApp,
                [](int code) { QCoreApplication::exit(code); });
        m_screenshots->start();
    }
}

LaunchRequest AppShell::launchRequest(const QStringList &arguments)
{
    return {windowIdsToOpen(qEnvironmentVariable("CORVANE_SWITCHER_OPEN")), rateLibraryDocument(arguments)};
}

void AppShell::handle(const LaunchRequest &request)
{
    for (const QString &id : request.windowIds) {
        if (!m_scenes->hasScene(id)) {
            qCWarning(lcUi, "CORVANE_SWITCHER_OPEN: no window with the id \"%s\"", qUtf8Printable(id));
            continue;
        }
        m_scenes->openWindow(id);
    }
    if (request.document)
        openRateLibraryDocument(*request.document);
}

void AppShell::openRateLibraryDocument(const QString &path)
{
    m_scenes->openWindow(QStringLiteral("learned"));
    if (m_model->switcher().link().isPeer()) {
        m_model->previewImport(path);
        return;
    }
    // At launch the companion has not connected yet; give it a moment before the preview
    // step judges.
    auto *waiting = new QTimer(this);
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    waiting->setInterval(100);
    connect(waiting, &QTimer::timeout, this, [this, waiting, elapsed, path] {
        if (!m_model->switcher().link().isPeer() && elapsed->elapsed() < documentWaitMs)
            return;
        waiting->stop();
        waiting->deleteLater();
        delete elapsed;
        m_model->previewImport(path);
    });
    waiting->start();
}
