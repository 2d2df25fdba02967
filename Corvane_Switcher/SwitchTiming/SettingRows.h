#pragma once

// What each explained setting's row shows and writes, as plain values of the model: its control,
// range and step, its title and value text, whether it is enabled. Steppers of durations count
// in milliseconds while the model keeps seconds.

#include "RailTypes.h"

#include <QString>

class SwitcherModel;

struct SettingRowValues {
    enum class Control { stepper, toggle, button };
    SettingKey key = SettingKey::relock;
    Control control = Control::stepper;
    QString title;     // empty for the Relock Time, whose row shows its value alone
    QString valueText; // beside the title (the Relock Time's value)
    double value = 0;  // a stepper's value; 1 or 0 for a toggle
    double minimum = 0;
    double maximum = 0;
    double step = 0;
    bool enabled = true;
};

SettingRowValues settingRowValues(SettingKey key, const SwitcherModel &model);
// Writes a stepper's or toggle's new value into the model; for the button, runs its action.
void applySetting(SettingKey key, double value, SwitcherModel &model);
