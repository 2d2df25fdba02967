#pragma once

#include "RailTypes.h"
#include "SettingLinks.h"

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
class RailSteps final : public SettingLinksWidget {
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

    const RailStepsLayout &currentLayout() const;
    static RailStepsLayout layout(const QList<RailMark> &marks, int columns, const QRectF &rect,
                                  const Fonts &fonts);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QList<Link> links() const override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<RailMark> m_marks;
    int m_columns = 2;
    double m_textScale = 1.0;
    Fonts m_fonts;
    mutable std::optional<RailStepsLayout> m_layout;
    QColor m_knockout;
};
