#pragma once

// The prediction order: the heading with its one-line sentence, and the five steps as numbered
// discs on a track, the lit step's disc and the track up to it in the accent colour. The steps
// run 1 to 5 from left to right in every language.

#include "Platform/SystemColors.h"

#include <QHash>
#include <QPixmap>
#include <QRectF>
#include <QStaticText>
#include <QWidget>

#include <array>
#include <optional>

class ElidingLabel;

// The steps row: one widget paints the five columns and the track behind them.
class StepsRow final : public QWidget {
public:
    // Where each part of one column lies, for painting, tooltips and tests.
    struct Column {
        QRectF area;
        QRectF disc;
        QRectF name;
        QRectF summary;
        QRectF badge;
        QStaticText summaryText; // laid out once per width
    };
    static constexpr int spacing = 5;
    static constexpr int summaryPadding = 6;

    explicit StepsRow(QWidget *parent = nullptr);

    void setLitStep(std::optional<int> step);
    std::optional<int> litStep() const { return m_lit; }
    // The columns of a row `width` wide, steps 1 to 5.
    std::array<Column, 5> columns(int width) const;
    // The step whose column holds `pos`, if any.
    std::optional<int> stepAt(const QPoint &pos) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // A disc with its number, drawn once per step, state, look and screen.
    const QPixmap &discPicture(int step, bool lit) const;

    std::optional<int> m_lit;
    mutable QHash<int, QPixmap> m_discs;
    mutable SystemColors::Appearance m_discLook = SystemColors::Appearance::light;
    // The columns of the last width asked for: measuring the wrapped summaries is the dear part.
    mutable int m_measuredWidth = -1;
    mutable std::array<Column, 5> m_measured;
};

class PredictionOrder final : public QWidget {
public:
    explicit PredictionOrder(QWidget *parent = nullptr);

    StepsRow *steps() const { return m_steps; }
    ElidingLabel *sentence() const { return m_sentence; }

private:
    ElidingLabel *m_sentence = nullptr;
    StepsRow *m_steps = nullptr;
};
