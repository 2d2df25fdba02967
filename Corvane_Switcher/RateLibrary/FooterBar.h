#pragma once

// The Rate Library window's footer: the companion's notice (or the status line), the scan
// button and the gear menu of whole-library actions. It draws `FooterItems` and keeps no state.

#include "FooterTexts.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;
class SwitcherModel;

namespace RateLibrary {
class ElidedText;
}

class FooterBar final : public QWidget {
    Q_OBJECT
public:
    // `confirm` raises one of the window's three confirmations.
    FooterBar(SwitcherModel &model, std::function<void(RateLibrary::Confirmation)> confirm,
              QWidget *parent = nullptr);

    void showItems(const RateLibrary::FooterItems &items);

    // What the widgets show, for tests and screenshots.
    bool showsNotice() const;
    QString noticeText() const;
    QString statusText() const;
    // The notice's and the status line's lines as drawn, the last one elided when the text is
    // longer than the room.
    QStringList noticeLines() const;
    QStringList statusLines() const;
    // The notice's hover help: its text, as far as a line shows it.
    QString noticeHelp() const;
    QPushButton *noticeButton() const { return m_noticeOk; }
    QPushButton *scanButton() const { return m_scan; }
    QToolButton *gearButton() const { return m_gear; }
    const RateLibrary::MenuItems &menuItems() const { return m_menuItems; }

protected:
    void changeEvent(QEvent *event) override;

private:
    // The symbols in the colours of the window's appearance.
    void paintSymbols();

    QPointer<SwitcherModel> m_model;
    RateLibrary::MenuItems m_menuItems;
    QLabel *m_noticeSymbol = nullptr;
    RateLibrary::ElidedText *m_notice = nullptr;
    QPushButton *m_noticeOk = nullptr;
    RateLibrary::ElidedText *m_status = nullptr;
    QPushButton *m_scan = nullptr;
    QToolButton *m_gear = nullptr;
};
