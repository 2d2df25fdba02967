#include "FooterBar.h"

#include "Common/ShownText.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibraryTr.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QToolButton>

#include <cmath>

namespace RateLibrary {

// Text on at most `maxLines` lines, the last one elided; it takes the width the row leaves it.
class ElidedText final : public QWidget {
public:
    ElidedText(int maxLines, QWidget *parent) : QWidget(parent), m_maxLines(maxLines)
    {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(maxLines > 1);
        setSizePolicy(policy);
    }

    void setText(const QString &text)
    {
        if (text == m_text)
            return;
        m_text = text;
        // What the lines can show of it; a notice may be any length.
        m_shown = ShownText::bounded(text);
        m_width = -1;
        updateGeometry();
        update();
    }
    const QString &text() const { return m_text; }
    // The lines as they are drawn at the current width.
    QStringList shownLines() const { return linesFor(width()); }
    // In the secondary label colour of the window's appearance, read while painting.
    void setSecondary(bool secondary)
    {
        m_secondary = secondary;
        update();
    }

    QSize sizeHint() const override
    {
        // Laid out in fractional widths: round up, so the text fits on one line when there is room.
        if (m_width < 0)
            m_width = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(m_shown))) + 1;
        return {m_width, fontMetrics().lineSpacing()};
    }
    QSize minimumSizeHint() const override { return {0, fontMetrics().lineSpacing()}; }
    bool hasHeightForWidth() const override { return m_maxLines > 1; }
    int heightForWidth(int width) const override
    {
        return int(linesFor(width).size()) * fontMetrics().lineSpacing();
    }

protected:
    void changeEvent(QEvent *event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            m_width = -1;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(m_secondary ? SystemColors::secondaryLabel(SystemColors::appearanceOf(this))
                                   : palette().color(QPalette::WindowText));
        const QStringList lines = linesFor(width());
        const int lineHeight = fontMetrics().lineSpacing();
        int y = (height() - int(lines.size()) * lineHeight) / 2;
        for (const QString &line : lines) {
            painter.drawText(QRect(0, y, width(), lineHeight), Qt::AlignLeading | Qt::AlignVCenter, line);
            y += lineHeight;
        }
    }

private:
    // The text broken at word boundaries into at most `m_maxLines` lines; the last one carries
    // the rest, elided.
    QStringList linesFor(int width) const
    {
        QStringList lines;
        QTextLayout layout(m_shown, font());
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            if (int(lines.size()) == m_maxLines - 1) {
                lines << fontMetrics().elidedText(m_shown.mid(line.textStart()), Qt::ElideRight, width);
                break;
            }
            lines << m_shown.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (lines.isEmpty())
            lines << QString();
        return lines;
    }

    int m_maxLines;
    QString m_text;
    QString m_shown;
    mutable int m_width = -1;
    bool m_secondary = false;
};

} // namespace RateLibrary

using namespace RateLibrary;
using RateLibraryText::Tr;

namespace {

// The Mac's small control size: the text a size below the body's, the button just around it.
QPushButton *smallButton(QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setFont(FontStyles::systemFont(11));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

void fitSmallButton(QPushButton *button)
{
    const QFontMetrics metrics(button->font());
    button->setFixedSize(metrics.horizontalAdvance(button->text()) + 2 * metrics.height(),
                         metrics.height() + 8);
}

} // namespace

FooterBar::FooterBar(SwitcherModel &model, std::function<void(Confirmation)> confirm, QWidget *parent)
    : QWidget(parent), m_model(&model),
      m_menuItems(libraryMenuItems(libraryCommands(model, std::move(confirm))))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);

    m_noticeSymbol = new QLabel(this);
    row->addWidget(m_noticeSymbol);
    m_notice = new ElidedText(2, this);
    m_notice->setFont(FontStyles::caption());
    row->addWidget(m_notice);
    m_noticeOk = smallButton(this);
    m_noticeOk->setText(Tr::tr("OK"));
    fitSmallButton(m_noticeOk);
    connect(m_noticeOk, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->dismissRateLibraryNotice();
    });
    row->addWidget(m_noticeOk);

    m_status = new ElidedText(1, this);
    m_status->setFont(FontStyles::caption());
    m_status->setSecondary(true);
    row->addWidget(m_status);

    row->addStretch(1);
    m_scan = smallButton(this);
    m_scan->setToolTip(scanButtonHelp());
    connect(m_scan, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->scanLocalFiles();
    });
    row->addWidget(m_scan);

    m_gear = new QToolButton(this);
    m_gear->setAutoRaise(true); // borderless
    m_gear->setPopupMode(QToolButton::InstantPopup);
    m_gear->setMenu(makeMenu(m_menuItems, m_gear));
    //: Accessible name of the Rate Library's gear menu.
    m_gear->setAccessibleName(Tr::tr("Rate Library actions"));
    row->addWidget(m_gear);

    paintSymbols();
    showItems({});
}

void FooterBar::paintSymbols()
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    m_noticeSymbol->setPixmap(Symbols::pixmap(QStringLiteral("exclamationmark.triangle.fill"),
                                              SystemColors::orange(appearance),
                                              FontStyles::points(FontStyles::caption())));
    m_gear->setIcon(Symbols::icon(QStringLiteral("gearshape"), SystemColors::secondaryLabel(appearance)));
}

void FooterBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        paintSymbols();
}

void FooterBar::showItems(const FooterItems &items)
{
    const bool notice = items.notice.has_value();
    m_noticeSymbol->setVisible(notice);
    m_notice->setVisible(notice);
    m_noticeOk->setVisible(notice);
    m_status->setVisible(!notice);
    m_notice->setText(items.notice.value_or(QString()));
    m_notice->setToolTip(ShownText::toolTip(items.notice.value_or(QString())));
    m_status->setText(items.statusLine);
    m_status->setToolTip(ShownText::toolTip(items.statusLine));
    m_scan->setText(items.scan.title);
    fitSmallButton(m_scan);
    m_scan->setEnabled(items.scan.enabled);
    m_gear->setEnabled(items.menuEnabled);
}

bool FooterBar::showsNotice() const
{
    return !m_notice->isHidden();
}

QString FooterBar::noticeText() const
{
    return m_notice->text();
}

QString FooterBar::statusText() const
{
    return m_status->text();
}

QStringList FooterBar::noticeLines() const
{
    return m_notice->shownLines();
}

QStringList FooterBar::statusLines() const
{
    return m_status->shownLines();
}

QString FooterBar::noticeHelp() const
{
    return m_notice->toolTip();
}
