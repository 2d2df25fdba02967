#pragma once

#include "RailTypes.h"
#include "SwitcherModel.h"

#include <QObject>

#include <optional>

// Which setting row is lit after a click on a label that names it: the last key clicked, until
// 1.8 s after that click. A newer click cancels the older timer, so an older timer never puts
// out a newer light. The clock is injectable so that tests never sleep.
class SettingFlash final : public QObject {
    Q_OBJECT
public:
    static constexpr int holdMs = 1800; // how long the light stays on
    static constexpr int inMs = 150;    // how long it takes to come on (ease-out)
    static constexpr int outMs = 600;   // how long it takes to go out (ease-in-out)
    static constexpr double litOpacity = 0.28;

    explicit SettingFlash(SwitcherModel::Clock &clock, QObject *parent = nullptr);
    ~SettingFlash() override;

    void flash(SettingKey key);
    std::optional<SettingKey> flashed() const { return m_flashed; }

signals:
    void changed(std::optional<SettingKey> flashed);

private:
    SwitcherModel::Clock &m_clock;
    std::optional<SettingKey> m_flashed;
};
