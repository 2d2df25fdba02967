#pragma once

// The import preview: the dry run's report in a sheet over the Rate Library window, with
// "Cancel" (Escape) and "Import" (Return). `ImportPreviewBinding` shows it whenever the model
// holds a preview and dismisses the preview when the sheet or the window goes any other way.

#include "SwitcherModel.h"

#include <QDialog>
#include <QPointer>

class QPushButton;

class ImportPreviewSheet final : public QDialog {
    Q_OBJECT
public:
    static constexpr int sheetWidth = 520;

    ImportPreviewSheet(SwitcherModel &model, SwitcherModel::ImportPreview preview, QWidget *parent);

    const SwitcherModel::ImportPreview &preview() const { return m_preview; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *cancelButton() const { return m_cancel; }
    // The grid's values in order: file, from, contains, result.
    QStringList gridValues() const;

    // Escape, "Cancel" and the window's own close: the preview is dropped, nothing is sent.
    void reject() override;

private:
    bool holdsMyPreview() const;

    QPointer<SwitcherModel> m_model;
    SwitcherModel::ImportPreview m_preview;
    QPushButton *m_import = nullptr;
    QPushButton *m_cancel = nullptr;
};

class ImportPreviewBinding final : public QObject {
    Q_OBJECT
public:
    // `window` is the Rate Library window the sheet stands over; the window owns the binding and
    // lets it go before its children (the sheet among them).
    ImportPreviewBinding(SwitcherModel &model, QWidget *window);
    ~ImportPreviewBinding() override;

    ImportPreviewSheet *sheet() const { return m_sheet; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();
    void closeSheet();

    QPointer<SwitcherModel> m_model;
    QWidget *m_window;
    QPointer<ImportPreviewSheet> m_sheet;
};
