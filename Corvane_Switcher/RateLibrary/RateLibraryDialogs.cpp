#include "RateLibraryDialogs.h"

#include "RateLibraryTr.h"

#include <QMessageBox>
#include <QPushButton>

namespace RateLibrary {

using RateLibraryText::Tr;

ConfirmationText confirmationText(Confirmation kind)
{
    switch (kind) {
    case Confirmation::forgetAll:
        return {
            Tr::tr("Clear the Rate Library?"),
            Tr::tr("Every learned rate under every setting. Pins, scanned local files and your Dolby Atmos "
                   "answers stay. Normally unnecessary — a wrong rate self-corrects over a few plays."),
            Tr::tr("Clear Rate Library")};
    case Confirmation::reset:
        return {
            Tr::tr("Delete the whole Rate Library?"),
            Tr::tr(
                "Every learned rate, every pin, every scanned local file, every Dolby Atmos answer. Corvane "
                "starts learning again from the next play. The last copy is kept beside the file until the "
                "next Delete Everything — Import… can bring it back."),
            Tr::tr("Delete All")};
    case Confirmation::removePins:
        return {
            Tr::tr("Remove every pin?"),
            Tr::tr(
                "Every rate you pinned, under every setting, goes back to what Corvane learned for the track "
                "— or to Apple's catalog where nothing was learned yet. Learned rates, scanned local files "
                "and your Dolby Atmos answers stay."),
            Tr::tr("Remove All Pins")};
    }
    return {};
}

QMessageBox *makeConfirmationDialog(Confirmation kind, std::function<void()> confirmed, QWidget *parent)
{
    const ConfirmationText text = confirmationText(kind);
    auto *dialog = new QMessageBox(parent);
    dialog->setIcon(QMessageBox::Warning);
    dialog->setWindowTitle(text.title);
    dialog->setText(text.title);
    dialog->setInformativeText(text.message);
    QPushButton *destructive = dialog->addButton(text.button, QMessageBox::DestructiveRole);
    destructive->setObjectName(QStringLiteral("destructive"));
    QPushButton *cancel = dialog->addButton(QMessageBox::Cancel);
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    QObject::connect(
        dialog, &QMessageBox::buttonClicked, dialog,
        [destructive, confirmed = std::move(confirmed), done = false](QAbstractButton *button) mutable {
            if (button == destructive && !done && confirmed) {
                done = true;
                confirmed();
            }
        });
    return dialog;
}

QAbstractButton *destructiveButton(QMessageBox *dialog)
{
    return dialog ? dialog->findChild<QAbstractButton *>(QStringLiteral("destructive")) : nullptr;
}

} // namespace RateLibrary
