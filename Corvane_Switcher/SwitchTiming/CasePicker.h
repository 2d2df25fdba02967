#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <functional>

// The chips that choose a card's case, in a capsule; the chosen case's chip is highlighted.
class CasePicker final : public QWidget {
    Q_OBJECT
public:
    struct Choice {
        QString id;
        QString label;
    };

    explicit CasePicker(QWidget *parent = nullptr);

    void setChoices(const QList<Choice> &choices, const QString &chosen, double textScale);
    QString chosen() const { return m_chosen; }
    std::function<void(const QString &id)> onChoose;

    // Each chip's rectangle, in the choices' order, from the leading edge.
    QList<QRectF> chipRects() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<Choice> m_choices;
    QString m_chosen;
    QFont m_font;
};
