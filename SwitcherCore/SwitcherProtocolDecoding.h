#pragma once

// What the two decoders of the protocol (QJsonObject and simdjson) share, so that both report
// the same error for the same text. Not part of the protocol's public face.

#include "HeapMemory.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// QJsonDocument drops a byte order mark that opens a string without escapes (QString::fromUtf8
// takes it for one) and keeps U+FEFF where it opens a string with escapes. The fast decoders read
// a string's characters as it does: `charactersWithoutEscapes` drops that mark from a string
// that has no escapes, and `text` then converts whatever remains, a leading U+FEFF included.
inline bool opensWithBom(std::string_view utf8)
{
    return utf8.starts_with("\xEF\xBB\xBF");
}
inline std::string_view charactersWithoutEscapes(std::string_view raw)
{
    return opensWithBom(raw) ? raw.substr(3) : raw;
}
inline QString text(std::string_view utf8)
{
    if (!opensWithBom(utf8))
        return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
}

inline QString indexedKey(const QString &listKey, qsizetype index, const QString &innerKey)
{
    QString key = listKey + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
    if (!innerKey.isEmpty())
        key += QLatin1Char('.') + innerKey;
    return key;
}

// Kind, tier and source take a handful of values across a whole library: one shared QString
// per value instead of one per row.
class WordCache final {
public:
    QString get(std::string_view utf8)
    {
        // Neighbouring rows mostly repeat the last word: try it first.
        if (m_last < m_words.size() && m_words[m_last].first == utf8)
            return m_words[m_last].second;
        for (size_t i = 0; i < m_words.size(); ++i) {
            if (m_words[i].first == utf8) {
                m_last = i;
                return m_words[i].second;
            }
        }
        QString word = text(utf8);
        if (m_words.size() < 16)
            m_words.emplace_back(std::string(utf8), word);
        return word;
    }

private:
    std::vector<std::pair<std::string, QString>> m_words;
    size_t m_last = 0;
};

// Rows of one album come together: keep the previous text and share it when it repeats.
class RepeatCache final {
public:
    QString get(std::string_view utf8) { return repeats(utf8) ? m_last : keep(utf8, text(utf8)); }

    // Whether `utf8` is the text seen last; last() is then its QString.
    bool repeats(std::string_view utf8) const { return !m_last.isNull() && utf8 == m_lastUtf8; }
    const QString &last() const { return m_last; }

    // Remembers `text`, read from `utf8`, for the rows that follow.
    const QString &keep(std::string_view utf8, QString text)
    {
        m_lastUtf8 = utf8; // must outlive the decode: the line itself, or the parser's buffer
        m_last = std::move(text);
        return m_last;
    }

    // For a text that lives only until the next one is read: never compare with it later.
    QString take(std::string_view utf8) { return take(Detail::text(utf8)); }
    QString take(QString text)
    {
        m_lastUtf8 = {};
        m_last = QString();
        return text;
    }

private:
    std::string_view m_lastUtf8;
    QString m_last;
};

// Growing a 24 MB list step by step copies it over and over, and counting the items first
// would walk the whole array twice. Instead, once `out` holds its first items, the text they
// took (`takenBytes`) tells how long an item's text is, and the list is reserved for what the
// rest of the text (`restBytes`) can hold. Reserved pages that are never written cost no memory.
template <class List> void reserveForTheRest(List &out, qsizetype takenBytes, qsizetype restBytes)
{
    constexpr qsizetype sample = 64;
    if (out.size() != sample || takenBytes <= 0)
        return;
    const double bytesPerItem = double(takenBytes) / double(sample);
    const auto estimate = qsizetype(double(takenBytes + std::max<qsizetype>(restBytes, 0)) / bytesPerItem);
    if (estimate + estimate / 4 + sample > out.capacity()) {
        out.reserve(estimate + estimate / 4 + sample);
        HeapMemory::preferLargePages(out.constData(),
                                     std::size_t(estimate) * sizeof(typename List::value_type));
    }
}

// What one decode of a Rate Library shares between its rows.
struct Caches {
    WordCache kinds;
    WordCache tiers;
    WordCache sources;
    RepeatCache artist;
    RepeatCache album;
};

// Field numbers follow the declaration order that LearnedRates::Row::fromJson checks in.
enum RowField {
    fId,
    fKind,
    fTier,
    fTitle,
    fArtist,
    fAlbum,
    fRate,
    fLearnedRate,
    fPinned,
    fSource,
    fConfirmations,
    fConfirmedAt,
    rowFieldCount
};
inline constexpr quint32 rowRequired = (1u << fId) | (1u << fKind) | (1u << fTier) | (1u << fRate) |
                                       (1u << fPinned) | (1u << fSource) | (1u << fConfirmations) |
                                       (1u << fConfirmedAt);

inline int rowField(std::string_view key)
{
    switch (key.size()) {
    case 2:
        return key == "id" ? fId : -1;
    case 4:
        return key == "kind" ? fKind : key == "tier" ? fTier : key == "rate" ? fRate : -1;
    case 5:
        return key == "title" ? fTitle : key == "album" ? fAlbum : -1;
    case 6:
        return key == "artist" ? fArtist : key == "pinned" ? fPinned : key == "source" ? fSource : -1;
    case 11:
        return key == "learnedRate" ? fLearnedRate : key == "confirmedAt" ? fConfirmedAt : -1;
    case 13:
        return key == "confirmations" ? fConfirmations : -1;
    default:
        return -1;
    }
}

inline const char *const rowFieldNames[] = {"id",     "kind",   "tier",          "title",
                                            "artist", "album",  "rate",          "learnedRate",
                                            "pinned", "source", "confirmations", "confirmedAt"};

} // namespace SwitcherProtocol::Detail
