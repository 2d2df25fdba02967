#pragma once

// What the two decoders of the protocol (QJsonObject and simdjson) share, so that both report
// the same error for the same text. Not part of the protocol's public face.

#include <QString>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace SwitcherProtocol::Reason {

// Plain English on purpose: these texts go to the log, not to a window.
inline QString missing()
{
    return QStringLiteral("missing");
}
inline QString expectedString()
{
    return QStringLiteral("expected a string");
}
inline QString expectedNumber()
{
    return QStringLiteral("expected a number");
}
inline QString expectedWholeNumber()
{
    return QStringLiteral("expected a whole number");
}
inline QString expectedBool()
{
    return QStringLiteral("expected true or false");
}
inline QString expectedObject()
{
    return QStringLiteral("expected an object");
}
inline QString expectedArray()
{
    return QStringLiteral("expected an array");
}
inline QString expectedDate()
{
    return QStringLiteral("expected an ISO 8601 date");
}
inline QString notJsonObject()
{
    return QStringLiteral("not a JSON object");
}
inline QString malformed()
{
    return QStringLiteral("malformed JSON");
}

} // namespace SwitcherProtocol::Reason

namespace SwitcherProtocol::Detail {

// A double that holds a whole number a qint64 can carry exactly as the same value.
inline std::optional<qint64> wholeNumber(double d)
{
    // 2^63 is exactly representable; everything below it that is whole converts safely.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(d) || d != std::trunc(d) || d < -limit || d >= limit)
        return std::nullopt;
    return static_cast<qint64>(d);
}

inline QString indexedKey(const QString &listKey, qsizetype index, const QString &innerKey)
{
    QString key = listKey + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
    if (!innerKey.isEmpty())
        key += QLatin1Char('.') + innerKey;
    return key;
}

} // namespace SwitcherProtocol::Detail
