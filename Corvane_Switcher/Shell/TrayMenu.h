#pragma once

// The tray icon and its menu. The menu is plain data first, so that tests can read and trigger
// it without a tray (there is none on the offscreen platform).

#include "Platform/PlatformServices.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

struct TrayMenuItem {
    QString id; // the window id it opens, "quit", or empty for a separator
    QString title;
    std::function<void()> action;

    bool isSeparator() const { return id.isEmpty(); }
};

// Rate Library, Playback History, Switch Method Visualizer, a separator, Quit.
QList<TrayMenuItem> trayMenuItems(const std::function<void(const QString &id)> &openWindow,
                                  const std::function<void()> &quit);

class TrayIcon final : public QObject {
    Q_OBJECT
public:
    // Shows an icon when the desktop has a tray; otherwise holds the menu without showing it.
    explicit TrayIcon(QList<TrayMenuItem> items, QObject *parent = nullptr);
    ~TrayIcon() override;

    bool isVisible() const;
    QMenu *menu() const { return m_menu.get(); }
    // A notification from the icon; false when no icon is shown.
    bool showMessage(const QString &title, const QString &message);

private:
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

// Notifications from the tray icon, or message boxes where the desktop shows no icon. Those that
// come before the shell has made its icon (the model reports the history's load at once) wait.
class TrayNotifications final : public Notifications {
public:
    void notify(const QString &title, const QString &message) override;
    // Where notifications go from now on, the waiting ones first; null: no icon, message boxes.
    void attach(TrayIcon *tray);

private:
    void show(const QString &title, const QString &message);

    struct Waiting {
        QString title;
        QString message;
    };
    QList<Waiting> m_waiting;
    bool m_attached = false;
    QPointer<TrayIcon> m_tray;
};
