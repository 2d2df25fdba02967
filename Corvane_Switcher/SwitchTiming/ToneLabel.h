#pragma once

#include <QLabel>

// A label in one of the system's text colours, which it takes again whenever the palette (and
// with it light or dark) changes.
class ToneLabel final : public QLabel {
    Q_OBJECT
public:
    enum class Tone { primary, secondary, tertiary, orange, brand };

    explicit ToneLabel(Tone tone, QWidget *parent = nullptr);
    ToneLabel(const QString &text, Tone tone, QWidget *parent = nullptr);

    void setTone(Tone tone);
    Tone tone() const { return m_tone; }
    // Sets the font only when it differs, so that an unchanged refresh lays nothing out again.
    void setFontIfChanged(const QFont &font);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyTone();

    Tone m_tone;
    bool m_applying = false;
};
