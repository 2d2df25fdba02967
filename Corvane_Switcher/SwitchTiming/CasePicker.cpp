#include "CasePicker.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

constexpr double rowInset = 3;
constexpr double chipGap = 2;
constexpr double chipPaddingX = 9;
constexpr double chipPaddingY = 3;
} // namespace

CasePicker::CasePicker(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    //: Accessible name of the chips that choose which situation a card shows.
    setAccessibleName(Tr::tr("Case"));
}

void CasePicker::setChoices(const QList<Choice> &choices, const QString &chosen, double textScale)
{
    const QFont font = FontStyles::systemFont(10 * textScale, QFont::DemiBold);
    const auto same = [](const Choice &a, const Choice &b) { return a.id == b.id && a.label == b.label; };
    if (chosen == m_chosen && font == m_font &&
        std::equal(choices.begin(), choices.end(), m_choices.begin(), m_choices.end(), same))
        return;
    bool resized = font != m_font || choices.size() != m_choices.size();
    for (qsizetype i = 0; !resized && i < choices.size(); ++i)
        resized = choices[i].label != m_choices[i].label;
    m_choices = choices;
    m_chosen = chosen;
    m_font = font;
    if (resized)
        updateGeometry();
    update();
}

QList<QRectF> CasePicker::chipRects() const
{
    const QFontMetricsF fm(m_font);
    QList<QRectF> rects;
    double x = rowInset;
    // From the leading edge: the first case at the right in a right-to-left layout.
    const bool mirrored = layoutDirection() == Qt::RightToLeft;
    for (const Choice &choice : m_choices) {
        const double width = fm.horizontalAdvance(choice.label) + 2 * chipPaddingX;
        const double left = mirrored ? sizeHint().width() - x - width : x;
        rects.append(QRectF(left, rowInset, width, fm.height() + 2 * chipPaddingY));
        x += width + chipGap;
    }
    return rects;
}

QSize CasePicker::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    double width = rowInset;
    for (const Choice &choice : m_choices)
        width += fm.horizontalAdvance(choice.label) + 2 * chipPaddingX + chipGap;
    if (!m_choices.isEmpty())
        width -= chipGap;
    return QSize(int(std::ceil(width + rowInset)),
                 int(std::ceil(fm.height() + 2 * chipPaddingY + 2 * rowInset)));
}

void CasePicker::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    const QColor primary = SystemColors::label(appearance);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath capsule;
    capsule.addRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    painter.fillPath(capsule, SystemColors::withOpacity(primary, 0.05));
    painter.setPen(QPen(SystemColors::withOpacity(primary, 0.08), 1));
    painter.drawPath(capsule);
    painter.setFont(m_font);
    const QList<QRectF> rects = chipRects();
    for (qsizetype i = 0; i < rects.size(); ++i) {
        const bool chosen = m_choices[i].id == m_chosen;
        if (chosen) {
            QPainterPath chip;
            chip.addRoundedRect(rects[i], rects[i].height() / 2, rects[i].height() / 2);
            painter.fillPath(chip, SystemColors::withOpacity(primary, 0.1));
        }
        painter.setPen(chosen ? primary : SystemColors::secondaryLabel(appearance));
        painter.drawText(rects[i], Qt::AlignCenter, m_choices[i].label);
    }
    if (hasFocus()) {
        painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
}

void CasePicker::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LayoutDirectionChange)
        update();
    QWidget::changeEvent(event);
}

void CasePicker::mouseReleaseEvent(QMouseEvent *event)
{
    const QList<QRectF> rects = chipRects();
    for (qsizetype i = 0; i < rects.size(); ++i) {
        if (event->button() == Qt::LeftButton && rects[i].contains(event->position())) {
            if (onChoose)
                onChoose(m_choices[i].id);
            return;
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void CasePicker::keyPressEvent(QKeyEvent *event)
{
    qsizetype index = -1;
    for (qsizetype i = 0; i < m_choices.size(); ++i) {
        if (m_choices[i].id == m_chosen)
            index = i;
    }
    const int forward = layoutDirection() == Qt::RightToLeft ? -1 : 1;
    qsizetype next = index;
    if (event->key() == Qt::Key_Right)
        next = index + forward;
    else if (event->key() == Qt::Key_Left)
        next = index - forward;
    if (next != index && next >= 0 && next < m_choices.size()) {
        if (onChoose)
            onChoose(m_choices[next].id);
        return;
    }
    QWidget::keyPressEvent(event);
}
