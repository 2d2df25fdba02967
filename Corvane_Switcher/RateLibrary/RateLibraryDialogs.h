#pragma once

// The confirmations of the three whole-library actions: one destructive button each (Cancel is
// the platform's), and the message goes to the companion only after that button.

#include <QString>

#include <functional>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace RateLibrary {

enum class Confirmation { forgetAll, reset, removePins };

struct ConfirmationText {
    QString title;
    QString message;
    QString button;
};
ConfirmationText confirmationText(Confirmation kind);

// A dialog (not yet shown) whose destructive button runs `confirmed` once; cancelling runs nothing.
QMessageBox *makeConfirmationDialog(Confirmation kind, std::function<void()> confirmed, QWidget *parent);
// The dialog's destructive button.
QAbstractButton *destructiveButton(QMessageBox *dialog);

} // namespace RateLibrary
