#include "TextSymbolButton.h"

#include "Common/ShownText.h"
#include "ExplainerStyle.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int gap = 4;

int symbolSide(qreal points)
{
    return qRound(points * 1.2);
}
} // namespace

TextSymbolButton::TextSymbolButton(const Look &look, QWidget *parent) : QAbstractButton(parent), m_look(look)
{
    setFont(look.textFont);
    // May be given less than its whole text (a button's policy would make that its least).
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Preferred);
    setSizePolicy(policy);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TextSymbolButton::setLabel(const QString &text, const QString &symbol)
{
    if (text == m_label && symbol == m_symbol)
        return;
    m_label = text;
    m_symbol = symbol;
    setText(ShownText::actionText(text));
    setAccessibleName(ShownText::bounded(text));
    m_textWidth = -1;
    updateGeometry();
    update();
}

QSize TextSymbolButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    if (m_textWidth < 0)
        m_textWidth = ShownText::advance(metrics, m_label);
    const int side = symbolSide(m_look.symbolPoints);
    return {m_textWidth + gap + side + 2, std::max(metrics.height(), side) + 2};
}

QSize TextSymbolButton::minimumSizeHint() const
{
    // The whole text while it is short; a longer one may shrink to a few characters and "…".
    const QFontMetrics metrics(font());
    const int least = metrics.horizontalAdvance(QStringLiteral("MMMMMM…"));
    const QSize whole = sizeHint();
    return {std::min(whole.width(), least + gap + symbolSide(m_look.symbolPoints) + 2), whole.height()};
}

void TextSymbolButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        m_textWidth = -1;
}

void TextSymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int side = symbolSide(m_look.symbolPoints);
    const QString shown = ShownText::elided(metrics, m_label, std::max(0, width() - 2 - gap - side));
    const int textWidth = metrics.horizontalAdvance(shown);
    QRect textRect(1, 0, textWidth, height());
    QRect symbolRect(textRect.right() + 1 + gap, (height() - side) / 2, side, side);
    // The symbol trails the text in either reading direction.
    textRect = QStyle::visualRect(layoutDirection(), rect(), textRect);
    symbolRect = QStyle::visualRect(layoutDirection(), rect(), symbolRect);
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const auto color = [look](Tone tone) {
        return tone == Tone::primary ? SystemColors::label(look) : SystemColors::secondaryLabel(look);
    };
    QColor textColor = color(m_look.textTone);
    QColor symbolColor = color(m_look.symbolTone);
    if (isDown()) {
        textColor.setAlphaF(textColor.alphaF() * 0.6f);
        symbolColor.setAlphaF(symbolColor.alphaF() * 0.6f);
    }
    painter.setPen(textColor);
    painter.drawText(textRect, shown, ExplainerStyle::textOption(Qt::AlignVCenter | Qt::AlignLeft));
    Symbols::paint(painter, symbolRect, m_symbol, symbolColor);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
