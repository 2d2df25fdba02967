#pragma once

#include "RailTypes.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QWidget>

// A swatch and a name for each fill the cards use, wrapped into as many rows as the width needs.
class RailLegend final : public QWidget {
    Q_OBJECT
public:
    struct Item {
        RailFill fill = RailFill::none;
        QRectF swatch;
        QRectF textRect;
        QString text;
    };
    struct Layout {
        QList<Item> items;
        double height = 0;
    };

    explicit RailLegend(QWidget *parent = nullptr);

    void setTextScale(double scale);
    // The items from the leading edge of `rect`, wrapped into rows.
    static Layout layout(const QRectF &rect, const QFont &font,
                         Qt::LayoutDirection direction = Qt::LeftToRight);
    Layout currentLayout() const { return layout(QRectF(rect()), m_font, layoutDirection()); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_scale = 0;
    QFont m_font;
};
