// The fast decoders of the link: the envelope head of every line, and the payload of
// "learnedRates", which can carry 100,000 rows in one 28 MB line. Both walk the text once with
// simdjson's On-Demand API and build the records directly. The rows decoder mirrors
// LearnedRates::fromJson field for field, reporting the same first error.
//
// Everything here is local to the call (parser, caches), so any thread may decode.
// Values under keys we ignore are skipped without full validation; everything we read is
// validated.

#include "SwitcherProtocol.h"
#include "SwitcherProtocolDecoding.h"
#include "RatePlausibility.h"

#include <simdjson.h>

#include <array>
#include <cstring>

namespace SwitcherProtocol {

static_assert(jsonPadding >= simdjson::SIMDJSON_PADDING);

namespace od = simdjson::ondemand;

namespace {

// The text as simdjson reads it: in place when the caller left the padding, else a copy.
class PaddedText final {
public:
    PaddedText(std::string_view text, std::size_t capacity)
    {
        if (capacity >= text.size() + simdjson::SIMDJSON_PADDING) {
            m_view = simdjson::padded_string_view(text.data(), text.size(), capacity);
        } else {
            m_copy = simdjson::padded_string(text);
            m_view = simdjson::padded_string_view(m_copy);
        }
    }
    simdjson::padded_string_view view() const { return m_view; }

private:
    simdjson::padded_string m_copy;
    simdjson::padded_string_view m_view;
};

// Why a value could not be read. `malformed` is the text itself being broken, which wins over
// any field error.
enum class Why : quint8 { none, missing, string, number, whole, boolean, date, object, array, malformed };

QString reasonText(Why why)
{
    switch (why) {
    case Why::missing: return Reason::missing();
    case Why::string: return Reason::expectedString();
    case Why::number: return Reason::expectedNumber();
    case Why::whole: return Reason::expectedWholeNumber();
    case Why::boolean: return Reason::expectedBool();
    case Why::date: return Reason::expectedDate();
    case Why::object: return Reason::expectedObject();
    case Why::array: return Reason::expectedArray();
    case Why::malformed: return Reason::malformed();
    case Why::none: break;
    }
    return {};
}

// Nothing but blanks after the root value.
bool atEnd(od::document &document)
{
    const char *location = nullptr;
    return document.current_location().get(location) == simdjson::OUT_OF_BOUNDS;
}

std::string_view token(od::value &value)
{
    std::string_view t = value.raw_json_token();
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\n' || t.back() == '\r'))
        t.remove_suffix(1);
    return t;
}

// The key's characters: straight from the input unless it holds an escape.
bool readKey(simdjson::simdjson_result<od::field> &member, od::field &field, std::string_view &key)
{
    if (std::move(member).get(field))
        return false;
    const char *raw = field.key().raw();
    size_t length = 0;
    while (raw[length] != '"' && raw[length] != '\\')
        ++length;
    if (raw[length] == '"') {
        key = std::string_view(raw, length);
        return true;
    }
    return !field.unescaped_key().get(key);
}

bool isNull(std::string_view t) { return t == "null"; }
bool startsNumber(std::string_view t) { return !t.empty() && (t[0] == '-' || (t[0] >= '0' && t[0] <= '9')); }

// The string's characters as UTF-8 (stage one has validated the encoding). Straight out of
// the input when there is nothing to unescape, which is almost always.
Why readUtf8(od::value &value, std::string_view &out, Why wrongType = Why::string)
{
    const std::string_view t = token(value);
    if (t.size() < 2 || t.front() != '"' || t.back() != '"')
        return wrongType;
    const std::string_view inner = t.substr(1, t.size() - 2);
    if (std::memchr(inner.data(), '\\', inner.size()) == nullptr) {
        out = inner;
        return Why::none;
    }
    return value.get_string().get(out) ? Why::malformed : Why::none;
}

QString toQString(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

Why readString(od::value &value, QString &out)
{
    std::string_view utf8;
    if (const Why why = readUtf8(value, utf8); why != Why::none)
        return why;
    out = toQString(utf8);
    return Why::none;
}

Why readBool(od::value &value, bool &out)
{
    const std::string_view t = token(value);
    if (t == "true")
        out = true;
    else if (t == "false")
        out = false;
    else
        return Why::boolean;
    return Why::none;
}

Why readDouble(od::value &value, double &out)
{
    if (!startsNumber(token(value)))
        return Why::number;
    return value.get_double().get(out) ? Why::malformed : Why::none;
}

Why readWhole(od::value &value, qint64 &out)
{
    const std::string_view t = token(value);
    if (!startsNumber(t))
        return Why::whole;
    if (t.find_first_of(".eE") == std::string_view::npos) {
        int64_t i = 0;
        if (value.get_int64().get(i))
            return Why::whole; // beyond a qint64
        out = i;
        return Why::none;
    }
    double d = 0;
    if (value.get_double().get(d))
        return Why::malformed;
    const std::optional<qint64> whole = Detail::wholeNumber(d);
    if (!whole)
        return Why::whole;
    out = *whole;
    return Why::none;
}

Why readDate(od::value &value, QDateTime &out)
{
    std::string_view utf8;
    if (const Why why = readUtf8(value, utf8, Why::date); why != Why::none)
        return why;
    std::optional<QDateTime> date = parseIsoDate(utf8);
    if (!date)
        return Why::date;
    out = *date;
    return Why::none;
}

// An optional reads JSON null as absent.
template <class T, class Read>
Why readOptional(od::value &value, std::optional<T> &out, Read read)
{
    if (isNull(token(value))) {
        out.reset();
        return Why::none;
    }
    T v{};
    const Why why = read(value, v);
    if (why == Why::none)
        out = std::move(v);
    return why;
}

// Tracks, per field of one object, whether it was seen and whether its last occurrence was
// bad; a later duplicate key replaces an earlier one, as QJsonDocument does.
template <int N>
class FieldState final {
public:
    void record(int field, Why why)
    {
        const quint32 bit = 1u << field;
        m_seen |= bit;
        if (why == Why::none) {
            m_bad &= ~bit;
        } else {
            m_bad |= bit;
            m_why[size_t(field)] = why;
        }
    }
    bool malformed() const
    {
        for (int i = 0; i < N; ++i)
            if ((m_bad & (1u << i)) && m_why[size_t(i)] == Why::malformed)
                return true;
        return false;
    }
    // The first field in declaration order that is bad or missing; -1 when all is well.
    int firstError(quint32 requiredMask, Why &why) const
    {
        const quint32 wrong = m_bad | (requiredMask & ~m_seen);
        for (int i = 0; i < N; ++i) {
            if (wrong & (1u << i)) {
                why = (m_bad & (1u << i)) ? m_why[size_t(i)] : Why::missing;
                return i;
            }
        }
        return -1;
    }

private:
    quint32 m_seen = 0;
    quint32 m_bad = 0;
    std::array<Why, N> m_why{};
};

// Kind, tier and source take a handful of values across a whole library: one shared QString
// per value instead of one per row.
class WordCache final {
public:
    QString get(std::string_view utf8)
    {
        for (const auto &[key, word] : m_words)
            if (key == utf8)
                return word;
        QString word = toQString(utf8);
        if (m_words.size() < 32)
            m_words.emplace_back(std::string(utf8), word);
        return word;
    }

private:
    std::vector<std::pair<std::string, QString>> m_words;
};

// Rows of one album come together: keep the previous text and share it when it repeats.
class RepeatCache final {
public:
    QString get(std::string_view utf8)
    {
        if (!m_last.isNull() && utf8 == m_lastUtf8)
            return m_last;
        m_lastUtf8 = utf8; // points into the input or the parser's buffer, both outlive the decode
        m_last = toQString(utf8);
        return m_last;
    }

private:
    std::string_view m_lastUtf8;
    QString m_last;
};

struct Caches {
    WordCache words;
    RepeatCache artist;
    RepeatCache album;
};

Why readCachedOptional(od::value &value, std::optional<QString> &out, RepeatCache &cache)
{
    if (isNull(token(value))) {
        out.reset();
        return Why::none;
    }
    std::string_view utf8;
    const Why why = readUtf8(value, utf8);
    if (why == Why::none)
        out = cache.get(utf8);
    return why;
}

Why readWord(od::value &value, QString &out, WordCache &cache)
{
    std::string_view utf8;
    const Why why = readUtf8(value, utf8);
    if (why == Why::none)
        out = cache.get(utf8);
    return why;
}

struct FieldError {
    QString key;
    Why why = Why::none;
};

// Field numbers follow the declaration order that LearnedRates::Row::fromJson checks in.
enum RowField { fId, fKind, fTier, fTitle, fArtist, fAlbum, fRate, fLearnedRate, fPinned, fSource,
                fConfirmations, fConfirmedAt, rowFieldCount };
constexpr quint32 rowRequired = (1u << fId) | (1u << fKind) | (1u << fTier) | (1u << fRate) | (1u << fPinned)
    | (1u << fSource) | (1u << fConfirmations) | (1u << fConfirmedAt);

int rowField(std::string_view key)
{
    switch (key.size()) {
    case 2: return key == "id" ? fId : -1;
    case 4: return key == "kind" ? fKind : key == "tier" ? fTier : key == "rate" ? fRate : -1;
    case 5: return key == "title" ? fTitle : key == "album" ? fAlbum : -1;
    case 6: return key == "artist" ? fArtist : key == "pinned" ? fPinned : key == "source" ? fSource : -1;
    case 11: return key == "learnedRate" ? fLearnedRate : key == "confirmedAt" ? fConfirmedAt : -1;
    case 13: return key == "confirmations" ? fConfirmations : -1;
    default: return -1;
    }
}

const char *const rowFieldNames[] = {"id", "kind", "tier", "title", "artist", "album", "rate",
                                     "learnedRate", "pinned", "source", "confirmations", "confirmedAt"};

Why readRowField(int field, od::value &value, LearnedRates::Row &row, Caches &caches)
{
    switch (field) {
    case fId: return readString(value, row.id);
    case fKind: return readWord(value, row.kind, caches.words);
    case fTier: return readWord(value, row.tier, caches.words);
    case fTitle: return readOptional(value, row.title, readString);
    case fArtist: return readCachedOptional(value, row.artist, caches.artist);
    case fAlbum: return readCachedOptional(value, row.album, caches.album);
    case fRate: return readDouble(value, row.rate);
    case fLearnedRate: return readOptional(value, row.learnedRate, readDouble);
    case fPinned: return readBool(value, row.pinned);
    case fSource: return readWord(value, row.source, caches.words);
    case fConfirmations: return readWhole(value, row.confirmations);
    case fConfirmedAt: return readDate(value, row.confirmedAt);
    default: return Why::none;
    }
}

// One row object; on failure `error` names the field (without the "rows[i]." prefix).
bool decodeRow(od::object &object, LearnedRates::Row &row, Caches &caches, FieldError &error)
{
    FieldState<rowFieldCount> state;
    for (auto member : object) {
        od::field field;
        std::string_view key;
        if (!readKey(member, field, key)) {
            error = {{}, Why::malformed};
            return false;
        }
        const int index = rowField(key);
        if (index < 0)
            continue;
        od::value value = field.value();
        state.record(index, readRowField(index, value, row, caches));
    }
    if (state.malformed()) {
        error = {{}, Why::malformed};
        return false;
    }
    Why why = Why::none;
    const int bad = state.firstError(rowRequired, why);
    if (bad < 0)
        return true;
    error = {QString::fromLatin1(rowFieldNames[bad]), why};
    return false;
}

enum OutputField { oDeviceUID, oAtmos, oAtmosOutput, outputFieldCount };

bool decodeOutput(od::object &object, LearnedRates::Output &output, FieldError &error)
{
    FieldState<outputFieldCount> state;
    for (auto member : object) {
        od::field field;
        std::string_view key;
        if (!readKey(member, field, key)) {
            error = {{}, Why::malformed};
            return false;
        }
        od::value value = field.value();
        if (key == "deviceUID")
            state.record(oDeviceUID, readString(value, output.deviceUID));
        else if (key == "atmos")
            state.record(oAtmos, readOptional(value, output.atmos, readBool));
        else if (key == "atmosOutput")
            state.record(oAtmosOutput, readOptional(value, output.atmosOutput, readBool));
    }
    if (state.malformed()) {
        error = {{}, Why::malformed};
        return false;
    }
    static const char *const names[] = {"deviceUID", "atmos", "atmosOutput"};
    Why why = Why::none;
    const int bad = state.firstError(1u << oDeviceUID, why);
    if (bad < 0)
        return true;
    error = {QString::fromLatin1(names[bad]), why};
    return false;
}

// Decodes an array of objects into `out`; the error's key is "name[i].field" (or "name[i]").
template <class T, class DecodeOne>
Why decodeList(od::value &value, const char *name, QList<T> &out, FieldError &error, DecodeOne decodeOne)
{
    const std::string_view t = token(value);
    if (t.empty() || t.front() != '[')
        return Why::array;
    od::array array;
    if (value.get_array().get(array))
        return Why::malformed;
    out.clear();
    // One allocation for the whole list: counting is a quick walk over the structure.
    size_t count = 0;
    if (array.count_elements().get(count))
        return Why::malformed;
    out.reserve(qsizetype(count));
    qsizetype index = 0;
    for (auto element : array) {
        od::value item;
        if (element.get(item))
            return Why::malformed;
        const std::string_view it = token(item);
        if (it.empty() || it.front() != '{') {
            error = {Detail::indexedKey(QString::fromLatin1(name), index, {}), Why::object};
            return Why::object;
        }
        od::object object;
        if (item.get_object().get(object))
            return Why::malformed;
        T &decoded = out.emplace_back();
        FieldError inner;
        if (!decodeOne(object, decoded, inner)) {
            if (inner.why == Why::malformed)
                return Why::malformed;
            error = {Detail::indexedKey(QString::fromLatin1(name), index, inner.key), inner.why};
            return inner.why;
        }
        ++index;
    }
    return Why::none;
}

} // namespace

Decoded<LearnedRates> LearnedRates::fromJsonText(std::string_view payload, std::size_t capacity)
{
    using Result = Decoded<LearnedRates>;
    const PaddedText text(payload, capacity);
    od::parser parser;
    od::document document;
    od::object object;
    if (parser.iterate(text.view()).get(document) || document.get_object().get(object))
        return Result::failure({}, Reason::notJsonObject());

    enum { tRows, tOutputs, tNowPlaying, tNotice, topFieldCount };
    static const char *const names[] = {"rows", "outputs", "nowPlayingID", "notice"};
    FieldState<topFieldCount> state;
    std::array<FieldError, topFieldCount> listErrors;
    LearnedRates rates;
    Caches caches;

    for (auto member : object) {
        od::field field;
        std::string_view key;
        if (!readKey(member, field, key))
            return Result::failure({}, Reason::malformed());
        od::value value = field.value();
        if (key == "rows") {
            FieldError &error = listErrors[tRows];
            error = {};
            state.record(tRows, decodeList(value, "rows", rates.rows, error,
                                           [&caches](od::object &o, Row &row, FieldError &e) {
                                               return decodeRow(o, row, caches, e);
                                           }));
        } else if (key == "outputs") {
            FieldError &error = listErrors[tOutputs];
            error = {};
            state.record(tOutputs, decodeList(value, "outputs", rates.outputs, error, decodeOutput));
        } else if (key == "nowPlayingID") {
            state.record(tNowPlaying, readOptional(value, rates.nowPlayingID, readString));
        } else if (key == "notice") {
            state.record(tNotice, readOptional(value, rates.notice, readString));
        }
        if (state.malformed())
            return Result::failure({}, Reason::malformed());
    }
    if (!atEnd(document))
        return Result::failure({}, Reason::malformed());

    Why why = Why::none;
    const int bad = state.firstError((1u << tRows) | (1u << tOutputs), why);
    if (bad >= 0) {
        const FieldError &listError = listErrors[size_t(bad)];
        if (!listError.key.isEmpty())
            return Result::failure(listError.key, reasonText(listError.why));
        return Result::failure(QString::fromLatin1(names[bad]), reasonText(why));
    }
    return Result{std::move(rates), {}};
}

int LearnedRates::dropImplausibleRows()
{
    return int(rows.removeIf([](const Row &row) { return !RatePlausibility::isPlausible(row.rate); }));
}

Decoded<EnvelopeHead> decodeEnvelopeHead(std::string_view line, std::size_t capacity)
{
    using Result = Decoded<EnvelopeHead>;
    const PaddedText text(line, capacity);
    od::parser parser;
    od::document document;
    od::object object;
    if (parser.iterate(text.view()).get(document) || document.get_object().get(object))
        return Result::failure({}, Reason::notJsonObject());

    enum { hV, hType, hPayload, headFieldCount };
    static const char *const names[] = {"v", "type", "payload"};
    FieldState<headFieldCount> state;
    EnvelopeHead head;
    std::string_view payloadInParsedText;

    for (auto member : object) {
        od::field field;
        std::string_view key;
        if (!readKey(member, field, key))
            return Result::failure({}, Reason::malformed());
        od::value value = field.value();
        if (key == "v") {
            qint64 v = 0;
            Why why = readWhole(value, v);
            if (why == Why::none && (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()))
                why = Why::whole;
            if (why == Why::none)
                head.v = int(v);
            state.record(hV, why);
        } else if (key == "type") {
            state.record(hType, readString(value, head.type));
        } else if (key == "payload") {
            const std::string_view t = token(value);
            if (t.empty() || t.front() != '{') {
                state.record(hPayload, Why::object);
                continue;
            }
            od::object payload;
            std::string_view raw;
            if (value.get_object().get(payload) || payload.raw_json().get(raw)) {
                state.record(hPayload, Why::malformed);
            } else {
                // raw_json runs up to the next token: drop the blanks before it.
                while (!raw.empty() && raw.back() != '}')
                    raw.remove_suffix(1);
                payloadInParsedText = raw;
                state.record(hPayload, Why::none);
            }
        }
        if (state.malformed())
            return Result::failure({}, Reason::malformed());
    }
    if (!atEnd(document))
        return Result::failure({}, Reason::malformed());

    Why why = Why::none;
    const int bad = state.firstError((1u << hV) | (1u << hType) | (1u << hPayload), why);
    if (bad >= 0)
        return Result::failure(QString::fromLatin1(names[bad]), reasonText(why));

    // Point into the caller's line even when simdjson read a padded copy of it.
    const std::size_t offset = std::size_t(payloadInParsedText.data() - text.view().data());
    head.payload = line.substr(offset, payloadInParsedText.size());
    head.payloadCapacity = capacity >= line.size() ? capacity - offset : line.size() - offset;
    return Result{std::move(head), {}};
}

} // namespace SwitcherProtocol
