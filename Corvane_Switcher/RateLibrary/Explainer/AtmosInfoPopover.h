#pragma once

// The popover that explains the Dolby Atmos answer: a popup under the info button, with an arrow
// pointing at it. Closing it by any means reports `dismissed`.

#include "ExplainerModel.h"

#include <QFrame>

class QVBoxLayout;

// One outcome row's chips joined by arrows, the last one highlighted.
class FlowChipsRow final : public QWidget {
public:
    explicit FlowChipsRow(QList<RateLibrary::FlowChip> chips, QWidget *parent = nullptr);
    const QList<RateLibrary::FlowChip> &chips() const { return m_chips; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<RateLibrary::FlowChip> m_chips;
};

class AtmosInfoPopover final : public QFrame {
    Q_OBJECT
public:
    static constexpr int popoverWidth = 440;
    static constexpr int padding = 16;
    static constexpr int arrowHeight = 8;

    explicit AtmosInfoPopover(QWidget *parent = nullptr);

    // Opens below `anchor`, its arrow on the anchor's bottom edge.
    void popUpBelow(QWidget *anchor);
    const QList<FlowChipsRow *> &outcomeRows() const { return m_rows; }

signals:
    void dismissed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QList<FlowChipsRow *> m_rows;
    int m_arrowX = popoverWidth / 2;
};
