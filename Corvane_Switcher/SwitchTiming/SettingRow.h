#pragma once

#include "SettingRows.h"

#include <QVariantAnimation>
#include <QWidget>

class QPushButton;
class Stepper;
class SwitchToggle;
class SwitcherModel;
class ToneLabel;

// One explained setting's row: its label and its control, bound to the model, on a rounded
// highlight that comes on when the row is flashed (in over 0.15 s, out over 0.6 s).
class SettingRow final : public QWidget {
    Q_OBJECT
public:
    SettingRow(SettingKey key, SwitcherModel &model, QWidget *parent = nullptr);

    SettingKey key() const { return m_key; }
    // Reads the row's values from the model again, its fonts at `textScale`.
    void refresh(double textScale);
    const SettingRowValues &values() const { return m_values; }

    // Lights the row or puts it out, animated while the row is on screen.
    void setLit(bool lit);
    bool isLit() const { return m_lit; }
    double highlightOpacity() const { return m_opacity; }
    QVariantAnimation &flashAnimation() { return m_flash; }

    Stepper *stepper() const { return m_stepper; }
    SwitchToggle *toggle() const { return m_toggle; }
    QPushButton *button() const { return m_button; }
    QString titleText() const;
    QString valueText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SettingKey m_key;
    SwitcherModel &m_model;
    SettingRowValues m_values;
    double m_scale = 0;
    ToneLabel *m_title = nullptr;
    ToneLabel *m_value = nullptr;
    Stepper *m_stepper = nullptr;
    SwitchToggle *m_toggle = nullptr;
    QPushButton *m_button = nullptr;
    QVariantAnimation m_flash;
    double m_opacity = 0;
    bool m_lit = false;
};
