#pragma once

#include <QWidget>

// A small rounded card holding a short text: Music.app's load figures beside the settings. The
// text keeps to one line where there is room and wraps where there is not.
class LoadFiguresCard final : public QWidget {
    Q_OBJECT
public:
    explicit LoadFiguresCard(QWidget *parent = nullptr);

    void setText(const QString &text, double textScale);
    QString text() const { return m_text; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QFont m_font;
};
