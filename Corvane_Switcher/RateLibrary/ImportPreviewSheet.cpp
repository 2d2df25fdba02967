#include "ImportPreviewSheet.h"

#include "Common/ShownText.h"
#include "ImportPreviewTexts.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibraryTr.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace RateLibrary;
using RateLibraryText::Tr;

namespace {

// A text that wraps in the sheet's width; a companion's note or warning may be of any length,
// and the sheet shows a paragraph of it.
QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(ShownText::bounded(text, ShownText::paragraphLength), parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    return label;
}

// A symbol before a text that wraps, both in one colour: the note and the warning rows.
QLayout *symbolRow(const QString &symbol, const QString &text, const QColor &color, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    auto *icon = new QLabel(parent);
    icon->setPixmap(Symbols::pixmap(symbol, color, FontStyles::points(FontStyles::callout())));
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(label(text, FontStyles::callout(), color, parent), 1);
    return row;
}

} // namespace

ImportPreviewSheet::ImportPreviewSheet(SwitcherModel &model, SwitcherModel::ImportPreview preview,
                                       QWidget *parent)
    : QDialog(parent), m_model(&model), m_preview(std::move(preview))
{
    const ImportResult &result = m_preview.result;
    setWindowModality(Qt::WindowModal);
    setWindowTitle(ShownText::windowTitle(importTitle(m_preview.url)));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);

    QLabel *title =
        label(importTitle(m_preview.url),
              FontStyles::systemFont(FontStyles::points(FontStyles::title3()), QFont::DemiBold), {}, this);
    title->setObjectName(QStringLiteral("title"));
    column->addWidget(title);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    QFont resultFont = FontStyles::callout();
    resultFont.setWeight(QFont::Medium);
    const std::pair<QString, QString> rows[] = {
        {Tr::tr("File"), flavourText(result)},
        {Tr::tr("From"), originLine(result)},
        {Tr::tr("Contains"), containsText(result)},
        {Tr::tr("Result"), SwitcherModel::importSummaryText(result)},
    };
    for (int r = 0; r < 4; ++r) {
        QLabel *name = label(rows[r].first, FontStyles::callout(), SystemColors::secondaryLabel(), this);
        name->setWordWrap(false);
        QLabel *value = label(rows[r].second, r == 3 ? resultFont : FontStyles::callout(), {}, this);
        value->setObjectName(QStringLiteral("value%1").arg(r));
        grid->addWidget(name, r, 0, Qt::AlignLeading | Qt::AlignTop);
        grid->addWidget(value, r, 1, Qt::AlignTop); // the whole width: it wraps
    }
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    // The companion's own words, as it wrote them.
    if (result.note)
        column->addLayout(
            symbolRow(QStringLiteral("info.circle"), *result.note, SystemColors::secondaryLabel(), this));
    if (result.warning)
        column->addLayout(symbolRow(QStringLiteral("exclamationmark.triangle.fill"), *result.warning,
                                    SystemColors::orange(), this));

    QLabel *rule = label(mergeRule(result), FontStyles::caption(), SystemColors::secondaryLabel(), this);
    rule->setObjectName(QStringLiteral("mergeRule"));
    column->addWidget(rule);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(Tr::tr("Cancel"), this);
    m_cancel->setAutoDefault(false); // Return imports, whichever button has the focus
    m_import = new QPushButton(Tr::tr("Import"), this);
    m_import->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_import);
    column->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &ImportPreviewSheet::reject);
    connect(m_import, &QPushButton::clicked, this, [this] {
        if (holdsMyPreview())
            m_model->confirmImport();
        accept();
    });

    setFixedWidth(sheetWidth);
    setFixedHeight(heightForWidth(sheetWidth));
    m_import->setFocus();
}

QStringList ImportPreviewSheet::gridValues() const
{
    QStringList values;
    for (int r = 0; r < 4; ++r)
        values << findChild<QLabel *>(QStringLiteral("value%1").arg(r))->text();
    return values;
}

bool ImportPreviewSheet::holdsMyPreview() const
{
    return m_model && m_model->importPreview() && m_model->importPreview()->id == m_preview.id;
}

void ImportPreviewSheet::reject()
{
    if (holdsMyPreview())
        m_model->dismissImportPreview();
    QDialog::reject();
}

ImportPreviewBinding::ImportPreviewBinding(SwitcherModel &model, QWidget *window)
    : m_model(&model), m_window(window)
{
    connect(&model, &SwitcherModel::changed, this, &ImportPreviewBinding::update);
    window->installEventFilter(this);
    update();
}

ImportPreviewBinding::~ImportPreviewBinding()
{
    // The window goes with the sheet still over it: the preview goes too.
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    closeSheet();
}

bool ImportPreviewBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show)
            update();
        else if (event->type() == QEvent::Hide && !event->spontaneous()) // closed, not minimised
            closeSheet();
    }
    return QObject::eventFilter(watched, event);
}

void ImportPreviewBinding::update()
{
    if (!m_model)
        return;
    const std::optional<SwitcherModel::ImportPreview> &preview = m_model->importPreview();
    if (m_sheet && (!preview || preview->id != m_sheet->preview().id)) {
        // The model moved on (Import, Cancel, another file): this sheet's preview is gone.
        ImportPreviewSheet *sheet = m_sheet;
        m_sheet = nullptr;
        sheet->hide();
        sheet->deleteLater();
    }
    if (!preview || m_sheet || !m_window->isVisible())
        return;
    m_sheet = new ImportPreviewSheet(*m_model, *preview, m_window);
    connect(m_sheet, &QDialog::finished, this, [this, sheet = m_sheet] {
        if (m_sheet == sheet)
            m_sheet = nullptr;
        sheet->deleteLater();
    });
    m_sheet->open();
}

void ImportPreviewBinding::closeSheet()
{
    if (m_sheet)
        m_sheet->reject();
}
