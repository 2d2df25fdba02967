#pragma once

// A history file as QJsonDocument reads it whole, the way the store read it before it went span
// by span: the yardstick that the store's own reading must match, in the tests and the fuzzer.

#include "PlaybackHistory.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>

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
            value.isObject() ? PlaybackHistory::entryFromJson(value.toObject()) : std::nullopt;
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
