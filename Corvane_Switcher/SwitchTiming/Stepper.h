#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

// A pair of arrows that step a value up or down within a range; the value itself is shown by the
// row's label. Holding an arrow repeats it; Up and Down do the same from the keyboard.
class Stepper final : public QWidget {
    Q_OBJECT
public:
    explicit Stepper(QWidget *parent = nullptr);

    void setRange(double minimum, double maximum, double step);
    // Shows a value without reporting it.
    void setValue(double value);
    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double step() const { return m_step; }

    // One step up or down, kept inside the range; reports the new value when it changed.
    void stepBy(int steps);
    std::function<void(double)> onStep;

    // The arrows' rectangles, for clicks and tests.
    QRect upArrowRect() const;
    QRect downArrowRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    double m_value = 0;
    double m_minimum = 0;
    double m_maximum = 100;
    double m_step = 1;
    int m_held = 0; // +1 or -1 while an arrow is held
    QTimer m_repeat;
};
