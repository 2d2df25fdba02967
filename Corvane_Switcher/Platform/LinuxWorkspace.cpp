#include "LinuxWorkspace.h"

#include "Logging.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

void openFolder(const QString &folder)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        qCWarning(lcUi, "reveal: could not open %s", qUtf8Printable(folder));
}

} // namespace

void LinuxWorkspace::revealFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.dir().exists())
            openFolder(info.absolutePath());
        else
            qCInfo(lcUi, "reveal: %s does not exist", qUtf8Printable(path));
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(info.absolutePath());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    const QString folder = info.absolutePath();
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [folder](QDBusPendingCallWatcher *finished) {
                         const QDBusPendingReply<> reply = *finished;
                         if (reply.isError()) {
                             qCInfo(lcUi, "reveal: no file manager answered (%s); opening the folder",
                                    qUtf8Printable(reply.error().message()));
                             openFolder(folder);
                         }
                         finished->deleteLater();
                     });
}

void LinuxWorkspace::openWindow(const QString &id)
{
    if (onOpenWindow)
        onOpenWindow(id);
    else
        qCWarning(lcUi, "open window \"%s\": no shell to open it", qUtf8Printable(id));
}

void LinuxWorkspace::activateApplication()
{
    if (onActivate)
        onActivate();
}

void LinuxWorkspace::setAccessoryPolicy()
{
    QApplication::setQuitOnLastWindowClosed(false);
    qCDebug(lcUi, "no window open; running from the tray only");
}
