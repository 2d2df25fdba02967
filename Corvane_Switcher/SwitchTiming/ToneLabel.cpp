#include "ToneLabel.h"

#include "Platform/BrandColors.h"
#include "Platform/SystemColors.h"

#include <QEvent>

ToneLabel::ToneLabel(Tone tone, QWidget *parent) : ToneLabel(QString(), tone, parent) {}

ToneLabel::ToneLabel(const QString &text, Tone tone, QWidget *parent) : QLabel(text, parent), m_tone(tone)
{
    applyTone();
}

void ToneLabel::setTone(Tone tone)
{
    if (tone == m_tone)
        return;
    m_tone = tone;
    applyTone();
}

void ToneLabel::setFontIfChanged(const QFont &font)
{
    if (font != this->font())
        setFont(font);
}

void ToneLabel::applyTone()
{
    m_applying = true;
    const SystemColors::Appearance appearance = SystemColors::appearance(palette());
    QColor color;
    switch (m_tone) {
    case Tone::primary:
        color = SystemColors::label(appearance);
        break;
    case Tone::secondary:
        color = SystemColors::secondaryLabel(appearance);
        break;
    case Tone::tertiary:
        color = SystemColors::tertiaryLabel(appearance);
        break;
    case Tone::orange:
        color = SystemColors::orange(appearance);
        break;
    case Tone::brand:
        color = BrandColors::brandRedStart();
        break;
    }
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::WindowText, color);
    p.setColor(QPalette::Inactive, QPalette::WindowText, color);
    p.setColor(QPalette::Disabled, QPalette::WindowText, SystemColors::tertiaryLabel(appearance));
    setPalette(p);
    m_applying = false;
}

void ToneLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_applying)
        applyTone();
}
