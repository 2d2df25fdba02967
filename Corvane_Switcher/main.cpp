#include "Logging.h"
#include "Shell/AppShell.h"
#include "Shell/Translations.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

int main(int argc, char **argv)
{
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

    AppShell shell;
    shell.start(QApplication::arguments());
    return app.exec();
}
