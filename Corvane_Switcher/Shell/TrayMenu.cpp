#include "TrayMenu.h"

#include "Common/ShownText.h"
#include "Logging.h"
#include "Platform/BrandColors.h"
#include "Platform/Symbols.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Shell)
};
} // namespace

QList<TrayMenuItem> trayMenuItems(const std::function<void(const QString &id)> &openWindow,
                                  const std::function<void()> &quit)
{
    const auto opener = [openWindow](const QString &id) { return [openWindow, id] { openWindow(id); }; };
    return {
        //: Tray menu item that opens the Rate Library window.
        {QStringLiteral("learned"), Tr::tr("Rate Library"), opener(QStringLiteral("learned"))},
        {QStringLiteral("history"), Tr::tr("Playback History"), opener(QStringLiteral("history"))},
        {QStringLiteral("timing"), Tr::tr("Switch Method Visualizer"), opener(QStringLiteral("timing"))},
        {QString(), QString(), nullptr},
        {QStringLiteral("quit"), Tr::tr("Quit Corvane Zuvaradi"), quit},
    };
}

TrayIcon::TrayIcon(QList<TrayMenuItem> items, QObject *parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    for (const TrayMenuItem &item : items) {
        if (item.isSeparator()) {
            m_menu->addSeparator();
            continue;
        }
        QAction *action = m_menu->addAction(item.title);
        action->setObjectName(item.id);
        connect(action, &QAction::triggered, this, [run = item.action] {
            if (run)
                run();
        });
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(lcUi, "no system tray here; the menu is not shown");
        return;
    }
    m_tray = std::make_unique<QSystemTrayIcon>(
        Symbols::icon(QStringLiteral("waveform"), BrandColors::brandRedStart(), 18));
    m_tray->setToolTip(QStringLiteral("Corvane Zuvaradi"));
    m_tray->setContextMenu(m_menu.get());
    m_tray->show();
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::isVisible() const
{
    return m_tray && m_tray->isVisible();
}

bool TrayIcon::showMessage(const QString &title, const QString &message)
{
    if (!isVisible())
        return false;
    m_tray->showMessage(title, message, QSystemTrayIcon::Warning);
    return true;
}

void TrayNotifications::notify(const QString &title, const QString &message)
{
    qCWarning(lcUi).noquote() << "telling the user:" << title << "-" << message;
    if (!m_attached) {
        m_waiting.append({title, message});
        return;
    }
    show(title, message);
}

void TrayNotifications::attach(TrayIcon *tray)
{
    m_tray = tray;
    m_attached = true;
    for (const Waiting &waiting : std::exchange(m_waiting, {}))
        show(waiting.title, waiting.message);
}

void TrayNotifications::show(const QString &title, const QString &message)
{
    if (m_tray && m_tray->showMessage(title, message))
        return;
    // The message may name a file: shown as written, never as markup or a link.
    auto *box = new QMessageBox(QMessageBox::Warning, title, ShownText::literal(message));
    box->setObjectName(QStringLiteral("failureNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}
