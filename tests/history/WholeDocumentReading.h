#pragma once

// A history file as QJsonDocument reads it whole, each play read by its own rules here, apart
// from the store's code: the yardstick that the store's own reading must match, in the tests and
// the fuzzer.

#include "PlaybackHistory.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>

namespace WholeDocument {

// One play, or none when a member is missing or of the wrong kind: id, at, title and artist are
// required texts (a UUID and an ISO date with milliseconds); the other texts, numbers and the
// played date may be absent or null; "corrected" is absent or true or false; "musicStartMs" a
// whole number no further from 0 than 9e15.
inline std::optional<PlaybackHistory::Entry> play(const QJsonObject &json)
{
    bool ok = true;
    // Absent or null is none; any other value must be of the kind `is` asks for.
    const auto member = [&](const char *key, bool (QJsonValue::*is)() const) -> std::optional<QJsonValue> {
        const QJsonValue value = json.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        ok = ok && (value.*is)();
        return value;
    };
    const auto text = [&](const char *key) {
        const std::optional<QJsonValue> value = member(key, &QJsonValue::isString);
        return value ? std::optional(value->toString()) : std::nullopt;
    };
    const auto number = [&](const char *key) {
        const std::optional<QJsonValue> value = member(key, &QJsonValue::isDouble);
        return value ? std::optional(value->toDouble()) : std::nullopt;
    };
    const auto date = [&](const char *key) -> std::optional<QDateTime> {
        const std::optional<QString> value = text(key);
        const QDateTime parsed = QDateTime::fromString(value.value_or(QString()), Qt::ISODateWithMs);
        ok = ok && (!value || parsed.isValid());
        return value ? std::optional(parsed) : std::nullopt;
    };

    PlaybackHistory::Entry entry;
    for (const char *key : {"id", "title", "artist"}) {
        if (!json.value(QLatin1String(key)).isString())
            return std::nullopt;
    }
    entry.id = QUuid::fromString(json.value(u"id").toString());
    entry.title = json.value(u"title").toString();
    entry.artist = json.value(u"artist").toString();
    const std::optional<QDateTime> at = date("at");
    entry.album = text("album");
    entry.tier = text("tier");
    entry.predictedRate = number("predictedRate");
    entry.source = text("source");
    entry.note = text("note");
    entry.playedRate = number("playedRate");
    entry.playedAt = date("playedAt");
    entry.codec = text("codec");
    entry.outcome = text("outcome");
    entry.outcomeRate = number("outcomeRate");
    const QJsonValue corrected = json.value(u"corrected");
    ok = ok && (corrected.isUndefined() || corrected.isBool());
    entry.corrected = corrected.toBool();
    if (const std::optional<double> ms = number("musicStartMs")) {
        ok = ok && std::trunc(*ms) == *ms && std::abs(*ms) <= 9.0e15;
        entry.musicStartMs = ok ? std::optional<qint64>(qint64(*ms)) : std::nullopt;
    }
    if (!ok || entry.id.isNull() || !at)
        return std::nullopt;
    entry.at = *at;
    return entry;
}

} // namespace WholeDocument

inline PlaybackHistory::FileContents wholeDocumentReading(const QByteArray &bytes)
{
    using Kind = PlaybackHistory::FileContents::Kind;
    PlaybackHistory::FileContents contents;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return contents;
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(u"v");
    const double v = version.toDouble(0);
    if (version.isDouble() && v > 1 && std::trunc(v) == v) {
        contents.kind = Kind::newer;
        contents.version = v >= 9223372036854775808.0 ? std::numeric_limits<qint64>::max() : qint64(v);
        return contents;
    }
    if (v != 1 || !root.value(u"entries").isArray())
        return contents;
    QList<PlaybackHistory::Entry> entries;
    for (const QJsonValue &value : root.value(u"entries").toArray()) {
        const std::optional<PlaybackHistory::Entry> entry =
            value.isObject() ? WholeDocument::play(value.toObject()) : std::nullopt;
        if (!entry)
            return contents;
        entries.append(*entry);
    }
    if (entries.size() > PlaybackHistory::maximumEntries)
        entries.remove(0, entries.size() - PlaybackHistory::maximumEntries);
    contents.kind = Kind::plays;
    contents.entries = entries;
    return contents;
}
