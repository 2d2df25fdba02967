#pragma once

// The tray icon and its menu. The menu is plain data first, so that tests can read and trigger
// it without a tray (there is none on the offscreen platform).

#include <QList>
#include <QObject>
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

private:
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};
