#include "AppPaths.h"
#include "HeapMemory.h"
#include "Logging.h"
#include "Shell/AppShell.h"
#include "Shell/QuitSignals.h"
#include "Shell/SingleInstance.h"
#include "Shell/Translations.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

#include <cstdio>

int main(int argc, char **argv)
{
    // Before anything else: a quit signal during start-up ends the app cleanly too.
    QuitSignals::catchFromStart();
    HeapMemory::mapLargeBlocks();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane Zuvaradi"));
    // A menu-bar application: closing the last window leaves it running in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    Translations::install(app);

    // A replaced data folder keeps the settings too, so a demo never touches the user's own.
    const QString dataDirectory = qEnvironmentVariable("CORVANE_SWITCHER_DATA_DIR");
    if (!dataDirectory.isEmpty()) {
        const QString settingsFolder = QDir(dataDirectory).filePath(QStringLiteral("settings"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder);
    }

    // The event loop reads the signals: one caught before it runs quits it at once.
    const QuitSignals quitSignals;

    const QStringList arguments = QApplication::arguments();
    SingleInstance instance(SingleInstance::serverName(AppPaths::dataDirectory()));
    QString error;
    switch (instance.start(AppShell::launchRequest(arguments), &error)) {
    case SingleInstance::Start::handedOver:
        return 0;
    case SingleInstance::Start::failed:
        std::fprintf(stderr, "%s\n", qUtf8Printable(error));
        return 1;
    case SingleInstance::Start::running:
        break;
    }

    // Nothing is loaded yet, so nothing is pending to save.
    if (QuitSignals::arrivedAlready())
        return 0;
    AppShell shell;
    instance.onRequest = [&shell](const LaunchRequest &request) { shell.handle(request); };
    shell.start(arguments);
    return app.exec();
}
