#pragma once

#include <QWidget>

// A small rounded card holding one line of text: Music.app's load figures beside the settings.
class LoadFiguresCard final : public QWidget {
    Q_OBJECT
public:
    explicit LoadFiguresCard(QWidget *parent = nullptr);

    void setText(const QString &text, double textScale);
    QString text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QFont m_font;
};
