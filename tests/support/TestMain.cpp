// One main for every test binary: a QApplication on the offscreen platform (so widget tests run
// without a display), settings and data in private temporary folders, then GoogleTest.
#include "Shell/Translations.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Dates and numbers as ctest runs them, also when a binary is run by hand.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("TZ", "UTC");

    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 2;
    const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", sandbox.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", sandbox.filePath(QStringLiteral("data")).toLocal8Bit());
    // Test mode keeps settings under ~/.qttest whatever XDG says: a home of its own keeps the test
    // binaries that run at once (ctest runs them in parallel) from sharing one settings file.
    const QString home = sandbox.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("HOME", home.toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("CORVANE_SWITCHER_DATA_DIR"))
        qputenv("CORVANE_SWITCHER_DATA_DIR", sandbox.filePath(QStringLiteral("app-data")).toLocal8Bit());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane Zuvaradi Tests"));
    QStandardPaths::setTestModeEnabled(true);
    Translations::install(app); // English, as the app shows it: "1 row"

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
