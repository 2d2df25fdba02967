// Preloaded into the application (LD_PRELOAD) by the process tests: it plays the user who clears
// the playback history in its window, then prints "history cleared", so that the test can send
// its signal while the store's delayed save is still pending. It reaches the window through
// Qt's own widget tree only, as a user's clicks would.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

bool clickIn(QMessageBox *box)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->objectName() == QLatin1String("clearHistory")) {
            button->click();
            return true;
        }
    }
    return false;
}

void clearHistoryOnceShown()
{
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        const QList<QWidget *> widgets = QApplication::allWidgets();
        for (QWidget *widget : widgets) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible() && clickIn(box)) {
                timer->stop();
                std::puts("history cleared");
                std::fflush(stdout);
                return;
            }
        }
        for (QWidget *widget : widgets) {
            auto *button = qobject_cast<QPushButton *>(widget);
            if (button && button->isVisible() && button->isEnabled() &&
                button->text() == QStringLiteral("Clear History…")) {
                button->click();
                return;
            }
        }
    });
    timer->start(20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(clearHistoryOnceShown)
