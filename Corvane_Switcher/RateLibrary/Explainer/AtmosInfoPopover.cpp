#include "AtmosInfoPopover.h"

#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/RateLibraryCard.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

using namespace RateLibrary;

namespace {

constexpr int chipPaddingX = 8;
constexpr int chipPaddingY = 4;
constexpr int chipSpacing = 6;

qreal arrowSide()
{
    return FontStyles::points(FontStyles::caption()) * 1.2;
}

// The boxes of a row from the leading edge, arrows included. A chip that would pass `width` starts
// a new line, its arrow first.
struct ChipBox {
    QRectF rect;
    bool arrow = false;
    int chip = 0;
};

QList<ChipBox> chipBoxes(const QList<FlowChip> &chips, const QFontMetrics &metrics, qreal width)
{
    QList<ChipBox> boxes;
    const qreal height = metrics.height() + 2 * chipPaddingY;
    const qreal side = arrowSide();
    qreal x = 0.5;
    qreal y = 0.5;
    for (int i = 0; i < chips.size(); ++i) {
        const qreal chipWidth = metrics.horizontalAdvance(chips.at(i).text) + 2 * chipPaddingX;
        const qreal needed = (chips.at(i).arrowBefore ? side + chipSpacing : 0) + chipWidth;
        if (x > 0.5 && x + needed > width) {
            x = 0.5;
            y += height + chipSpacing;
        }
        if (chips.at(i).arrowBefore) {
            boxes.append({QRectF(x, y + (height - side) / 2, side, side), true, i});
            x += side + chipSpacing;
        }
        boxes.append({QRectF(x, y, chipWidth, height - 1), false, i});
        x += chipWidth + chipSpacing;
    }
    return boxes;
}

qreal bottomOf(const QList<ChipBox> &boxes)
{
    qreal bottom = 0;
    for (const ChipBox &box : boxes)
        bottom = std::max(bottom, box.rect.bottom());
    return bottom;
}

} // namespace

FlowChipsRow::FlowChipsRow(QList<FlowChip> chips, QWidget *parent)
    : QWidget(parent), m_chips(std::move(chips))
{
    setFont(FontStyles::caption());
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int FlowChipsRow::heightForWidth(int width) const
{
    return int(std::ceil(bottomOf(chipBoxes(m_chips, fontMetrics(), width)))) + 1;
}

QSize FlowChipsRow::sizeHint() const
{
    const QList<ChipBox> boxes = chipBoxes(m_chips, fontMetrics(), 1e6);
    const qreal right = boxes.isEmpty() ? 0 : boxes.last().rect.right();
    return {int(std::ceil(right)) + 1, heightForWidth(int(right) + 1)};
}

QSize FlowChipsRow::minimumSizeHint() const
{
    return {0, fontMetrics().height() + 2 * chipPaddingY};
}

void FlowChipsRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    for (const ChipBox &box : chipBoxes(m_chips, fontMetrics(), width())) {
        QRectF r = box.rect;
        if (rtl)
            r.moveLeft(width() - r.right());
        if (box.arrow) {
            painter.save();
            if (rtl) { // the arrow points along the reading direction
                painter.translate(r.center());
                painter.scale(-1, 1);
                painter.translate(-r.center());
            }
            Symbols::paint(painter, r, QStringLiteral("arrow.right"), SystemColors::secondaryLabel(look));
            painter.restore();
            continue;
        }
        const FlowChip &chip = m_chips.at(box.chip);
        QPainterPath shape;
        shape.addRoundedRect(r, 5, 5);
        painter.fillPath(shape, chip.highlighted ? SystemColors::withOpacity(
                                                       SystemColors::selectedContentBackground(look), 0.35)
                                                 : SystemColors::controlBackground(look));
        painter.setPen(QPen(SystemColors::separator(look), 1));
        painter.drawPath(shape);
        painter.setPen(SystemColors::label(look));
        painter.drawText(r, chip.text, ExplainerStyle::textOption(Qt::AlignCenter));
    }
}

AtmosInfoPopover::AtmosInfoPopover(QWidget *parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    // The click that closes the popover must not reach the info button and open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setFixedWidth(popoverWidth);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(padding, padding + arrowHeight, padding, padding);
    stack->setSpacing(12);

    auto *title = new QLabel(atmosInfoTitle(), this);
    title->setFont(FontStyles::headline());
    stack->addWidget(title);

    auto *text = new QLabel(atmosInfoText(), this);
    text->setFont(FontStyles::callout());
    text->setWordWrap(true);
    ExplainerStyle::setSecondary(text);
    stack->addWidget(text);

    for (const AtmosOutcomeRow &row : atmosOutcomeRows()) {
        auto *outcome = new QVBoxLayout;
        outcome->setSpacing(5);
        auto *rowTitle = new QLabel(row.title, this);
        rowTitle->setFont(FontStyles::systemFont(12, QFont::DemiBold));
        outcome->addWidget(rowTitle);
        m_rows.append(new FlowChipsRow(flowChips(row), this));
        outcome->addWidget(m_rows.last());
        stack->addLayout(outcome);
    }

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    stack->addWidget(line);

    auto *notes = new QVBoxLayout;
    notes->setSpacing(4);
    for (const QString &note : atmosInfoNotes()) {
        auto *label = new QLabel(note, this);
        label->setFont(FontStyles::callout());
        label->setWordWrap(true);
        ExplainerStyle::setSecondary(label);
        notes->addWidget(label);
    }
    stack->addLayout(notes);
}

void AtmosInfoPopover::popUpBelow(QWidget *anchor)
{
    setLayoutDirection(anchor->layoutDirection());
    // The wrapped texts' height at the popover's own width (adjustSize would measure them wider).
    resize(popoverWidth, layout()->totalHeightForWidth(popoverWidth));
    const QRect button(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QPoint at(button.center().x() - popoverWidth / 2, button.bottom() + 1);
    if (const QScreen *screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - popoverWidth)));
    }
    m_arrowX = std::clamp(button.center().x() - at.x(), 16, popoverWidth - 16);
    move(at);
    show();
}

void AtmosInfoPopover::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const QRectF body = QRectF(rect()).adjusted(0.5, arrowHeight + 0.5, -0.5, -0.5);
    QPainterPath shape = unevenRoundedRect(body, 10, 10);
    QPainterPath arrow;
    arrow.moveTo(m_arrowX - arrowHeight, body.top() + 1);
    arrow.lineTo(m_arrowX, 0.5);
    arrow.lineTo(m_arrowX + arrowHeight, body.top() + 1);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    painter.fillPath(shape, SystemColors::windowBackground(look));
    painter.setPen(QPen(SystemColors::separator(look), 1));
    painter.drawPath(shape);
}

void AtmosInfoPopover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    emit dismissed();
}
