#pragma once

#include "SwitcherProtocol.h"

#include <QJsonDocument>

// Records with every optional set, shared by the protocol tests.
namespace ProtocolFixtures {

inline QDateTime utc(const char *iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs).toUTC();
}

inline SwitcherProtocol::LearnedRates::Row fullRow()
{
    SwitcherProtocol::LearnedRates::Row row;
    row.id = QStringLiteral("1A2B3C4D5E6F7081");
    row.kind = QStringLiteral("library");
    row.tier = QStringLiteral("hires");
    row.title = QStringLiteral("Clair de lune — “live” \"take\"");
    row.artist = QStringLiteral("Ryūichi Sakamoto");
    row.album = QStringLiteral("Ελληνικά 🎹");
    row.rate = 96000;
    row.learnedRate = 88200;
    row.pinned = true;
    row.source = QStringLiteral("learned");
    row.confirmations = 7;
    row.confirmedAt = utc("2026-03-01T12:00:00.123Z");
    return row;
}

inline SwitcherProtocol::LearnedRates::Row minimalRow()
{
    SwitcherProtocol::LearnedRates::Row row;
    row.id = QStringLiteral("p.1234");
    row.kind = QStringLiteral("catalog");
    row.tier = QStringLiteral("aac");
    row.rate = 44100;
    row.source = QStringLiteral("file");
    row.confirmedAt = utc("1999-12-31T23:59:59.000Z");
    return row;
}

inline SwitcherProtocol::LearnedRates fullRates()
{
    SwitcherProtocol::LearnedRates rates;
    rates.rows = {fullRow(), minimalRow()};
    rates.outputs = {{QStringLiteral("BuiltInSpeakerDevice"), true, false},
                     {QStringLiteral("AppleUSBAudioEngine:Schiit"), std::nullopt, std::nullopt}};
    rates.nowPlayingID = QStringLiteral("1A2B3C4D5E6F7081");
    rates.notice = QStringLiteral("Rate Library restored from backup.");
    return rates;
}

inline QByteArray compact(const QJsonObject &json)
{
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

inline QJsonObject parse(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace ProtocolFixtures
