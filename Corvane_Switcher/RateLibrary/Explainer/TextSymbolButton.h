#pragma once

// A borderless button that reads as a text followed by a small symbol, 4 points apart: the
// output menu's label ("DacMagic 200M ⌃⌄") and the latest play line's "History ⌄". It asks for
// its whole text; given less room, the text is cut with "…" and the symbol still trails it.

#include <QAbstractButton>
#include <QFont>

class TextSymbolButton final : public QAbstractButton {
    Q_OBJECT
public:
    enum class Tone { primary, secondary };
    struct Look {
        QFont textFont;
        Tone textTone = Tone::primary;
        qreal symbolPoints = 9;
        Tone symbolTone = Tone::secondary;
    };

    TextSymbolButton(const Look &look, QWidget *parent = nullptr);

    // The button's text() is `text` with each "&" doubled: a name from outside makes no shortcut.
    void setLabel(const QString &text, const QString &symbol);
    const QString &label() const { return m_label; }
    const QString &symbol() const { return m_symbol; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

    void changeEvent(QEvent *event) override;

private:
    Look m_look;
    QString m_label;
    QString m_symbol;
    mutable int m_textWidth = -1; // the whole text's, measured once per text and font
};
