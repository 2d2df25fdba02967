#include "SettingRow.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"
#include "SettingFlash.h"
#include "Stepper.h"
#include "SwitchToggle.h"
#include "ToneLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

SettingRow::SettingRow(SettingKey key, SwitcherModel &model, QWidget *parent)
    : QWidget(parent), m_key(key), m_model(model), m_values(settingRowValues(key, model))
{
    setObjectName(QStringLiteral("settingRow-") + rawValue(key));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(6);

    if (!m_values.title.isEmpty() && m_values.control != SettingRowValues::Control::button) {
        m_title = new ToneLabel(ToneLabel::Tone::primary, this);
        layout->addWidget(m_title);
    }
    if (m_values.control != SettingRowValues::Control::button) {
        m_value = new ToneLabel(
            key == SettingKey::relock ? ToneLabel::Tone::primary : ToneLabel::Tone::secondary, this);
        layout->addWidget(m_value);
    }
    switch (m_values.control) {
    case SettingRowValues::Control::stepper:
        m_stepper = new Stepper(this);
        m_stepper->setAccessibleName(m_values.title.isEmpty() ? m_values.valueText : m_values.title);
        m_stepper->onStep = [this](double value) { applySetting(m_key, value, m_model); };
        layout->addSpacing(2);
        layout->addWidget(m_stepper);
        break;
    case SettingRowValues::Control::toggle:
        m_toggle = new SwitchToggle(this);
        m_toggle->setAccessibleName(m_values.title);
        connect(m_toggle, &SwitchToggle::clicked, this,
                [this](bool checked) { applySetting(m_key, checked ? 1 : 0, m_model); });
        layout->addSpacing(4);
        layout->addWidget(m_toggle);
        break;
    case SettingRowValues::Control::button:
        m_button = new QPushButton(m_values.title, this);
        connect(m_button, &QPushButton::clicked, this, [this] { applySetting(m_key, 0, m_model); });
        layout->addWidget(m_button);
        break;
    }

    m_flash.setStartValue(0.0);
    m_flash.setEndValue(0.0);
    connect(&m_flash, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_opacity = value.toDouble();
        update();
    });
    refresh(1.0);
}

void SettingRow::refresh(double textScale)
{
    m_values = settingRowValues(m_key, m_model);
    if (textScale != m_scale) {
        m_scale = textScale;
        const QFont label = FontStyles::systemFont(11.5 * textScale);
        if (m_title)
            m_title->setFontIfChanged(label);
        if (m_value) {
            m_value->setFontIfChanged(m_key == SettingKey::relock
                                          ? FontStyles::systemFont(15 * textScale, QFont::DemiBold)
                                          : label);
        }
        if (m_stepper)
            m_stepper->setFont(label);
        if (m_toggle)
            m_toggle->setFont(label);
        if (m_button)
            m_button->setFont(FontStyles::systemFont(11 * textScale));
    }
    if (m_title && m_title->text() != m_values.title)
        m_title->setText(m_values.title);
    if (m_value) {
        if (m_value->text() != m_values.valueText)
            m_value->setText(m_values.valueText);
        m_value->setVisible(!m_values.valueText.isEmpty());
    }
    if (m_stepper) {
        m_stepper->setRange(m_values.minimum, m_values.maximum, m_values.step);
        m_stepper->setValue(m_values.value);
    }
    if (m_toggle)
        m_toggle->setChecked(m_values.value != 0);
    if (m_button && m_button->text() != m_values.title)
        m_button->setText(m_values.title);
    // A disabled toggle dims its label with it; a disabled button is just the button.
    if (m_toggle)
        setEnabled(m_values.enabled);
    if (m_button)
        m_button->setEnabled(m_values.enabled);
}

QString SettingRow::titleText() const
{
    return m_values.title;
}

QString SettingRow::valueText() const
{
    return m_values.valueText;
}

void SettingRow::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    m_flash.stop();
    const double target = lit ? SettingFlash::litOpacity : 0.0;
    if (!isVisible()) {
        m_opacity = target;
        update();
        return;
    }
    m_flash.setStartValue(m_opacity);
    m_flash.setEndValue(target);
    m_flash.setDuration(lit ? SettingFlash::inMs : SettingFlash::outMs);
    m_flash.setEasingCurve(lit ? QEasingCurve::OutCubic : QEasingCurve::InOutQuad);
    m_flash.start();
}

void SettingRow::paintEvent(QPaintEvent *)
{
    if (m_opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    painter.fillPath(
        shape, SystemColors::withOpacity(SystemColors::accent(SystemColors::appearanceOf(this)), m_opacity));
}
