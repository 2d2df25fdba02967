#pragma once

#include <QAbstractButton>

// An on/off switch of the small control size: a track that fills with the accent colour when on
// and a knob that sits at the on or off end.
class SwitchToggle final : public QAbstractButton {
    Q_OBJECT
public:
    explicit SwitchToggle(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};
