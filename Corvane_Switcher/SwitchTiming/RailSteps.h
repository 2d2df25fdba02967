#pragma once

#include "RailTypes.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// Where each numbered step of a rail goes: column by column in step order, each step's sentence
// wrapped beside its disc.
struct RailStepsLayout {
    struct Item {
        int index = 0; // in the marks' list
        int number = 0;
        QRectF disc;
        QRectF textRect;
        QString text;
        bool strong = false;
        std::optional<SettingKey> setting;
    };
    QList<Item> items; // in step order
    double height = 0;

    // The step whose disc or sentence is at `point`.
    const Item *itemAt(const QPointF &point) const;
};

// The numbered list of a rail's marks, numbered as the rail's discs are. A step that carries a
// setting is a link: a click calls `onSetting`.
class RailSteps final : public QWidget {
    Q_OBJECT
public:
    struct Fonts {
        QFont disc;
        QFont text;
        QFont strongText;
        static Fonts make(double textScale);
    };

    explicit RailSteps(QWidget *parent = nullptr);

    void setMarks(const QList<RailMark> &marks, double textScale, int columns = 2);
    const QList<RailMark> &marks() const { return m_marks; }
    // The card's background, which the discs are filled with.
    void setKnockout(const QColor &color);
    std::function<void(SettingKey)> onSetting;

    const RailStepsLayout &currentLayout() const;
    static RailStepsLayout layout(const QList<RailMark> &marks, int columns, const QRectF &rect,
                                  const Fonts &fonts);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setHovered(int index);

    QList<RailMark> m_marks;
    int m_columns = 2;
    double m_textScale = 1.0;
    Fonts m_fonts;
    mutable std::optional<RailStepsLayout> m_layout;
    QColor m_knockout;
    int m_hovered = -1; // a mark's index
    std::optional<SettingKey> m_pressed;
    int m_focus = 0; // among the linked steps
};
