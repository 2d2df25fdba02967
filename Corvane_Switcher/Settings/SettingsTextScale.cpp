#include "SettingsTextScale.h"

#include <QSettings>

#include <array>

QString SettingsTextScale::key()
{
    return QStringLiteral("switcher.settingsTextSize");
}

int SettingsTextScale::storedIndex(const QSettings *settings)
{
    const QSettings appSettings;
    const QSettings &store = settings ? *settings : appSettings;
    bool ok = false;
    const int index = store.value(key(), defaultIndex).toInt(&ok);
    return ok ? index : defaultIndex;
}

int SettingsTextScale::clampedIndex(int index)
{
    return qBound(0, index, 3);
}

double SettingsTextScale::scale(int index)
{
    static constexpr std::array<double, 4> scales = {0.9, 1.0, 1.15, 1.3};
    return scales[static_cast<size_t>(clampedIndex(index))];
}

double SettingsTextScale::current(const QSettings *settings)
{
    return scale(storedIndex(settings));
}
