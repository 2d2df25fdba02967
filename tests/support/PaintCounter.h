#pragma once

// Counts the paint events of the widgets it is installed on: how tests and benchmarks tell that
// a change repainted what it should, and nothing else.

#include <QEvent>
#include <QObject>

class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
