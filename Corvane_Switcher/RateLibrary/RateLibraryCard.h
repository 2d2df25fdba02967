#pragma once

// The small presentation pieces the window's header uses.

#include <QFrame>
#include <QPainterPath>

class QLabel;

namespace RateLibrary {

// A rounded rectangle whose two upper corners and two lower corners may differ in radius.
QPainterPath unevenRoundedRect(const QRectF &rect, qreal upperRadius, qreal lowerRadius);

// The header's card chrome: the rounded shape filled with the control background colour at
// `fillOpacity` and outlined with the separator colour, 1 point wide.
class CardFrame final : public QFrame {
public:
    struct Shape {
        qreal upperRadius = 8;
        qreal lowerRadius = 8;
        qreal fillOpacity = 0.6;
        bool operator==(const Shape &) const = default;
    };

    explicit CardFrame(QWidget *parent = nullptr);
    void setShape(const Shape &shape);
    const Shape &shape() const { return m_shape; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shape m_shape;
};

// `content` on a rounded card stretched to the full width; the content's own layout keeps its
// items at the leading edge.
QFrame *card(QWidget *content, QWidget *parent = nullptr);
// A small upper-cased heading in the secondary colour.
QLabel *sectionLabel(const QString &text, QWidget *parent = nullptr);

} // namespace RateLibrary
