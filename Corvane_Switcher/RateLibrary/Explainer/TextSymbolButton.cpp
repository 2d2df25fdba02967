#include "TextSymbolButton.h"

#include "ExplainerStyle.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"

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
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TextSymbolButton::setLabel(const QString &text, const QString &symbol)
{
    if (text == this->text() && symbol == m_symbol)
        return;
    m_symbol = symbol;
    setText(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize TextSymbolButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int side = symbolSide(m_look.symbolPoints);
    return {metrics.horizontalAdvance(text()) + gap + side + 2, std::max(metrics.height(), side) + 2};
}

void TextSymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int side = symbolSide(m_look.symbolPoints);
    const int textWidth = metrics.horizontalAdvance(text());
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
    painter.drawText(textRect, text(), ExplainerStyle::textOption(Qt::AlignVCenter | Qt::AlignLeft));
    Symbols::paint(painter, symbolRect, m_symbol, symbolColor);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
