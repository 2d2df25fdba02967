#include "SettingFlash.h"

namespace {
const QString slot = QStringLiteral("settingFlash");
}

SettingFlash::SettingFlash(SwitcherModel::Clock &clock, QObject *parent) : QObject(parent), m_clock(clock) {}

SettingFlash::~SettingFlash()
{
    m_clock.cancel(slot);
}

void SettingFlash::flash(SettingKey key)
{
    m_clock.cancel(slot);
    m_flashed = key;
    emit changed(m_flashed);
    m_clock.schedule(slot, holdMs, [this] {
        m_flashed.reset();
        emit changed(m_flashed);
    });
}
