#include "RailTypes.h"

#include <algorithm>
#include <numeric>

const QList<SettingKey> &allSettingKeys()
{
    static const QList<SettingKey> keys = {
        SettingKey::relock,     SettingKey::listeningWindow, SettingKey::threshold, SettingKey::minimumQuiet,
        SettingKey::fadeExtend, SettingKey::pausePoint,      SettingKey::delay,     SettingKey::automatic,
    };
    return keys;
}

QString rawValue(SettingKey key)
{
    switch (key) {
    case SettingKey::relock:
        return QStringLiteral("relock");
    case SettingKey::listeningWindow:
        return QStringLiteral("listeningWindow");
    case SettingKey::threshold:
        return QStringLiteral("threshold");
    case SettingKey::minimumQuiet:
        return QStringLiteral("minimumQuiet");
    case SettingKey::fadeExtend:
        return QStringLiteral("fadeExtend");
    case SettingKey::pausePoint:
        return QStringLiteral("pausePoint");
    case SettingKey::delay:
        return QStringLiteral("delay");
    case SettingKey::automatic:
        return QStringLiteral("automatic");
    }
    return {};
}

std::optional<SettingKey> settingKeyFromRawValue(const QString &raw)
{
    for (SettingKey key : allSettingKeys()) {
        if (rawValue(key) == raw)
            return key;
    }
    return std::nullopt;
}

QString rawValue(RailFill fill)
{
    switch (fill) {
    case RailFill::old:
        return QStringLiteral("old");
    case RailFill::oldFading:
        return QStringLiteral("oldFading");
    case RailFill::relock:
        return QStringLiteral("relock");
    case RailFill::next:
        return QStringLiteral("new");
    case RailFill::none:
        return QStringLiteral("none");
    case RailFill::lost:
        return QStringLiteral("lost");
    case RailFill::stub:
        return QStringLiteral("stub");
    case RailFill::silence:
        return QStringLiteral("silence");
    case RailFill::stubFading:
        return QStringLiteral("stubFading");
    case RailFill::loading:
        return QStringLiteral("loading");
    }
    return {};
}

QColor railRelockColor(SystemColors::Appearance appearance)
{
    // A violet that reads on both backgrounds and is none of the method colours (blue, red, green).
    static const QColor light(0x8E, 0x44, 0xC9);
    static const QColor dark(0xC0, 0x7E, 0xF0);
    return SystemColors::forAppearance(appearance, light, dark);
}

QColor railColor(RailColor color, SystemColors::Appearance appearance)
{
    switch (color) {
    case RailColor::primary:
        break;
    case RailColor::secondary:
        return SystemColors::secondaryLabel(appearance);
    case RailColor::relock:
        return railRelockColor(appearance);
    }
    return SystemColors::label(appearance);
}

QList<int> stepOrder(const QList<RailMark> &marks)
{
    QList<int> order(marks.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return marks[a].t < marks[b].t; });
    return order;
}

QList<int> stepNumbers(const QList<RailMark> &marks)
{
    const QList<int> order = stepOrder(marks);
    QList<int> numbers(marks.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        numbers[order[i]] = int(i) + 1;
    return numbers;
}
