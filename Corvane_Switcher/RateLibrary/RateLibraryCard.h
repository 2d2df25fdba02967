#pragma once

// The small presentation pieces the window's header uses.

#include "Platform/SystemColors.h"

#include <QFrame>
#include <QPainterPath>
#include <QPixmap>

class QLabel;

namespace RateLibrary {

// A rounded rectangle whose two upper corners and two lower corners may differ in radius.
QPainterPath unevenRoundedRect(const QRectF &rect, qreal upperRadius, qreal lowerRadius);

// The header's card chrome: the rounded shape filled with the control background colour at
// `fillOpacity` and outlined with the separator colour, 1 point wide.
struct CardShape {
    qreal upperRadius = 8;
    qreal lowerRadius = 8;
    qreal fillOpacity = 0.6;
    bool operator==(const CardShape &) const = default;
};

// Paints a card shape over a whole widget. The shape is drawn once per size, look and screen and
// kept as a picture, so that repainting a small part of a card (a row under the pointer, a new
// line of text) is a copy rather than an antialiased fill of the whole card.
class CardBackground final {
public:
    void paint(QPainter &painter, const QWidget &widget, const CardShape &shape);

private:
    QPixmap m_picture;
    CardShape m_shape;
    SystemColors::Appearance m_look = SystemColors::Appearance::light;
};

class CardFrame final : public QFrame {
public:
    explicit CardFrame(QWidget *parent = nullptr);
    void setShape(const CardShape &shape);
    const CardShape &shape() const { return m_shape; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CardShape m_shape;
    CardBackground m_background;
};

// `content` on a rounded card stretched to the full width; the content's own layout keeps its
// items at the leading edge.
QFrame *card(QWidget *content, QWidget *parent = nullptr);
// A small upper-cased heading in the secondary colour.
QLabel *sectionLabel(const QString &text, QWidget *parent = nullptr);

} // namespace RateLibrary
