#include "QtFilePanels.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Shell)
};

QWidget *panelParent()
{
    return QApplication::activeWindow();
}

QString documentsPath(const QString &fileName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileName);
}

} // namespace

std::optional<FilePanels::ExportChoice> QtFilePanels::chooseRateLibraryExport(const QString &suggestedName)
{
    //: Save panel title.
    QFileDialog panel(panelParent(), Tr::tr("Export Backup"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setDefaultSuffix(QStringLiteral("corvanerates"));
    //: Export choice: the whole Rate Library, to restore later.
    const QString backup =
        Tr::tr("Backup — everything: rates, pins, local files, Dolby Atmos answers (*.corvanerates)");
    //: Export choice: only confirmed rates, to give to someone else.
    const QString share = Tr::tr("Shared file — confirmed rates only (*.corvanerates)");
    panel.setNameFilters({backup, share});
    panel.selectNameFilter(backup);
    panel.selectFile(documentsPath(suggestedName));
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return ExportChoice{panel.selectedFiles().constFirst(), panel.selectedNameFilter() == share};
}

std::optional<QString> QtFilePanels::chooseRateLibraryImport()
{
    //: Open panel title.
    QFileDialog panel(panelParent(), Tr::tr("Import"));
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setFileMode(QFileDialog::ExistingFile);
    panel.setNameFilters({Tr::tr("Rate Library files (*.corvanerates *.json)")});
    panel.setDirectory(QFileInfo(documentsPath(QString())).absolutePath());
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}

std::optional<QString> QtFilePanels::chooseCsvDestination(const QString &suggestedName)
{
    QFileDialog panel(panelParent(), Tr::tr("Export"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setDefaultSuffix(QStringLiteral("csv"));
    panel.setNameFilters({Tr::tr("Comma-separated text (*.csv)")});
    panel.selectFile(documentsPath(suggestedName));
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}
