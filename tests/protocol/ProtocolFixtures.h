#pragma once

#include "SwitcherProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

// Records with every optional set, shared by the protocol tests.
namespace ProtocolFixtures {

using namespace SwitcherProtocol;

inline QDateTime utc(const char *iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs).toUTC();
}

inline LearnedRates::Row fullRow()
{
    return {// Every optional set, with text that needs escaping.
            "1A2B3C4D5E6F7081",
            "library",
            "hires",
            QStringLiteral("Clair de lune — “live” \"take\""),
            QStringLiteral("Ryūichi Sakamoto"),
            QStringLiteral("Ελληνικά 🎹"),
            96000,
            88200,
            true,
            "learned",
            7,
            utc("2026-03-01T12:00:00.123Z")};
}

inline LearnedRates::Row minimalRow()
{
    return {// Every optional absent.
            "p.1234", "catalog", "aac", {},     {}, {},
            44100,    {},        false, "file", 0,  utc("1999-12-31T23:59:59.000Z")};
}

inline LearnedRates fullRates()
{
    return {
        {fullRow(), minimalRow()},
        {{"BuiltInSpeakerDevice", true, false}, {"AppleUSBAudioEngine:Schiit", std::nullopt, std::nullopt}},
        QStringLiteral("1A2B3C4D5E6F7081"),
        QStringLiteral("Rate Library restored from backup.")};
}

inline QByteArray compact(const QJsonObject &json)
{
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}
inline QJsonObject parse(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}
inline std::string_view view(const QByteArray &text)
{
    return {text.constData(), size_t(text.size())};
}

template <class T> void expectError(const QJsonObject &json, const char *key, const char *reason)
{
    const Decoded<T> decoded = T::fromJson(json);
    ASSERT_FALSE(decoded.ok()) << key;
    EXPECT_EQ(decoded.error.key, QString::fromLatin1(key));
    EXPECT_EQ(decoded.error.reason, QString::fromLatin1(reason)) << key;
}

} // namespace ProtocolFixtures
