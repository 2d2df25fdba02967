#pragma once

#include "RailTypes.h"

#include <QList>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// A painted widget some of whose items are links to a setting row: the pointer becomes a hand
// over them, a click on one calls `onSetting`, and from the keyboard the arrows move between
// them and Space or Return opens the one with the focus ring.
class SettingLinksWidget : public QWidget {
    Q_OBJECT
public:
    // One link: where it is, what it opens, and which painted item it is (the widget's own
    // numbering, for drawing it hovered).
    struct Link {
        QRectF area;
        SettingKey setting = SettingKey::relock;
        int item = 0;
    };

    std::function<void(SettingKey)> onSetting;

    // The link under the pointer, if any.
    std::optional<Link> hoveredLink() const;

protected:
    explicit SettingLinksWidget(QWidget *parent = nullptr);

    // The links in keyboard order, at the widget's current size.
    virtual QList<Link> links() const = 0;
    // After the links changed: forgets the hovered link and takes focus only when there is one.
    void linksChanged();
    // The focus ring, when the widget has the focus.
    void paintFocus(QPainter &painter) const;

    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::optional<Link> linkAt(const QPointF &point) const;
    void setHovered(std::optional<int> index);

    std::optional<int> m_hovered; // in links()
    std::optional<SettingKey> m_pressed;
    int m_focus = 0; // in links()
};
