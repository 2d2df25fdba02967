// The fast decoders of the link: the envelope head of every line, and the payload of
// "learnedRates", which can carry 100,000 rows in one 28 MB line. They use simdjson's On-Demand
// API and build the records directly; given one JsonScratch, the payload decode continues from
// the index the head decode built instead of indexing 28 MB again. A large line is first offered
// to the one-pass reader (LearnedRatesLineReader), which reads a plain Rate Library without any
// index and leaves everything else to these decoders. The rows decoder mirrors
// LearnedRates::fromJson field for field, reporting the same first error.
//
// State lives in the call or in the caller's scratch, never in globals, so any thread may
// decode. Values under keys we ignore are skipped without full validation; everything we read
// is validated.

#include "LearnedRatesLineReader.h"
#include "RatePlausibility.h"
#include "SwitcherProtocol.h"
#include "SwitcherProtocolDecoding.h"

#include <simdjson.h>

#include <QScopeGuard>

#include <array>
#include <cstring>

namespace SwitcherProtocol {

static_assert(jsonPadding >= simdjson::SIMDJSON_PADDING);

namespace od = simdjson::ondemand;
using namespace Detail;

namespace {

// The text as simdjson reads it: in place when the caller left the padding, else a copy in
// `storage`.
simdjson::padded_string_view paddedView(std::string_view text, std::size_t capacity,
                                        simdjson::padded_string &storage)
{
    if (capacity >= text.size() + simdjson::SIMDJSON_PADDING)
        return simdjson::padded_string_view(text.data(), text.size(), capacity);
    storage = simdjson::padded_string(text);
    return simdjson::padded_string_view(storage);
}

// Why a value could not be read. `malformed` is the text itself being broken, which wins over
// any field error.
enum class Why : quint8 { none, missing, string, number, whole, boolean, date, object, array, malformed };

QString reasonText(Why why)
{
    switch (why) {
    case Why::missing:
        return Reason::missing();
    case Why::string:
        return Reason::expectedString();
    case Why::number:
        return Reason::expectedNumber();
    case Why::whole:
        return Reason::expectedWholeNumber();
    case Why::boolean:
        return Reason::expectedBool();
    case Why::date:
        return Reason::expectedDate();
    case Why::object:
        return Reason::expectedObject();
    case Why::array:
        return Reason::expectedArray();
    case Why::malformed:
        return Reason::malformed();
    case Why::none:
        break;
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

// One value and its raw text, so that the text is looked up once.
struct Value {
    od::value &value;
    std::string_view token;
};

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

bool isNull(std::string_view t)
{
    return t == "null";
}
bool startsNumber(std::string_view t)
{
    return !t.empty() && (t[0] == '-' || (t[0] >= '0' && t[0] <= '9'));
}

// The string's characters as UTF-8 (stage one has validated the encoding). Straight out of
// the input when there is nothing to unescape, which is almost always.
Why readUtf8(Value v, std::string_view &out, Why wrongType = Why::string)
{
    const std::string_view t = v.token;
    if (t.size() < 2 || t.front() != '"' || t.back() != '"')
        return wrongType;
    const std::string_view inner = t.substr(1, t.size() - 2);
    if (std::memchr(inner.data(), '\\', inner.size()) == nullptr) {
        out = charactersWithoutEscapes(inner);
        return Why::none;
    }
    return v.value.get_string().get(out) ? Why::malformed : Why::none;
}

QString toQString(std::string_view utf8)
{
    return Detail::text(utf8);
}

Why readString(Value v, QString &out)
{
    std::string_view utf8;
    if (const Why why = readUtf8(v, utf8); why != Why::none)
        return why;
    out = toQString(utf8);
    return Why::none;
}

Why readBool(Value v, bool &out)
{
    if (v.token == "true")
        out = true;
    else if (v.token == "false")
        out = false;
    else
        return Why::boolean;
    return Why::none;
}

Why readDouble(Value v, double &out)
{
    if (!startsNumber(v.token))
        return Why::number;
    return v.value.get_double().get(out) ? Why::malformed : Why::none;
}

Why readWhole(Value v, qint64 &out)
{
    if (!startsNumber(v.token))
        return Why::whole;
    if (v.token.find_first_of(".eE") == std::string_view::npos) {
        int64_t i = 0;
        if (v.value.get_int64().get(i))
            return Why::whole; // beyond a qint64
        out = i;
        return Why::none;
    }
    double d = 0;
    if (v.value.get_double().get(d))
        return Why::malformed;
    const std::optional<qint64> whole = Detail::wholeNumber(d);
    if (!whole)
        return Why::whole;
    out = *whole;
    return Why::none;
}

Why readDate(Value v, QDateTime &out)
{
    std::string_view utf8;
    if (const Why why = readUtf8(v, utf8, Why::date); why != Why::none)
        return why;
    std::optional<QDateTime> date = parseIsoDate(utf8);
    if (!date)
        return Why::date;
    out = *date;
    return Why::none;
}

// An optional reads JSON null as absent.
template <class T, class Read> Why readOptional(Value v, std::optional<T> &out, Read read)
{
    if (isNull(v.token)) {
        out.reset();
        return Why::none;
    }
    T value{};
    const Why why = read(v, value);
    if (why == Why::none)
        out = std::move(value);
    return why;
}

// Tracks, per field of one object, whether it was seen and whether its last occurrence was
// bad; a later duplicate key replaces an earlier one, as QJsonDocument does.
template <int N> class FieldState final {
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

Why readCachedOptional(Value v, std::optional<QString> &out, RepeatCache &cache)
{
    if (isNull(v.token)) {
        out.reset();
        return Why::none;
    }
    std::string_view utf8;
    const Why why = readUtf8(v, utf8);
    if (why == Why::none)
        out = cache.get(utf8);
    return why;
}

Why readWord(Value v, QString &out, WordCache &cache)
{
    std::string_view utf8;
    const Why why = readUtf8(v, utf8);
    if (why == Why::none)
        out = cache.get(utf8);
    return why;
}

struct FieldError {
    QString key;
    Why why = Why::none;
};

Why readRowField(int field, Value value, LearnedRates::Row &row, Caches &caches)
{
    switch (field) {
    case fId:
        return readString(value, row.id);
    case fKind:
        return readWord(value, row.kind, caches.kinds);
    case fTier:
        return readWord(value, row.tier, caches.tiers);
    case fTitle:
        return readOptional(value, row.title, readString);
    case fArtist:
        return readCachedOptional(value, row.artist, caches.artist);
    case fAlbum:
        return readCachedOptional(value, row.album, caches.album);
    case fRate:
        return readDouble(value, row.rate);
    case fLearnedRate:
        return readOptional(value, row.learnedRate, readDouble);
    case fPinned:
        return readBool(value, row.pinned);
    case fSource:
        return readWord(value, row.source, caches.sources);
    case fConfirmations:
        return readWhole(value, row.confirmations);
    case fConfirmedAt:
        return readDate(value, row.confirmedAt);
    default:
        return Why::none;
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
        od::value &value = field.value();
        state.record(index, readRowField(index, Value{value, token(value)}, row, caches));
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
        od::value &value = field.value();
        const Value v{value, token(value)};
        if (key == "deviceUID")
            state.record(oDeviceUID, readString(v, output.deviceUID));
        else if (key == "atmos")
            state.record(oAtmos, readOptional(v, output.atmos, readBool));
        else if (key == "atmosOutput")
            state.record(oAtmosOutput, readOptional(v, output.atmosOutput, readBool));
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
// With `readBefore`, the array's first item stands for those items, read while the line
// arrived (see JsonScratch::standInForRows), and the items after it are numbered on from them.
template <class T, class DecodeOne>
Why decodeList(Value v, const char *textEnd, const char *name, QList<T> &out, FieldError &error,
               DecodeOne decodeOne, QList<T> *readBefore = nullptr)
{
    if (v.token.empty() || v.token.front() != '[')
        return Why::array;
    od::array array;
    if (v.value.get_array().get(array))
        return Why::malformed;
    out.clear();
    const char *first = nullptr;
    qsizetype index = 0;
    for (auto element : array) {
        od::value item;
        if (element.get(item))
            return Why::malformed;
        const std::string_view it = token(item);
        if (readBefore) {
            out = std::move(*std::exchange(readBefore, nullptr));
            index = out.size();
            continue;
        }
        if (!first)
            first = it.data();
        else
            reserveForTheRest(out, it.data() - first, textEnd - it.data());
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

struct JsonScratch::Parser {
    od::parser parser;
    // What the last decodeEnvelopeHead left for fromJsonText: its parsed line, so that the
    // payload is not indexed a second time. Used once, then forgotten.
    simdjson::padded_string copy;
    od::document document;
    std::string_view callerPayload;      // the view the head gave its caller
    const char *parsedPayload = nullptr; // the same payload in the parsed text
    // The payload's rows, when the one-pass reader read them with the head.
    std::optional<LearnedRates> rates;
    // Kept across calls: see shareTextsWith.
    QList<LearnedRates::Row> earlierRows;
    // See standInForRows: the rows, and where their array's '[' stands in the line, then in the
    // text the head decode parsed.
    std::optional<QList<LearnedRates::Row>> standInRows;
    std::size_t standInOffset = 0;
    const char *standInAt = nullptr;

    void forget()
    {
        callerPayload = {};
        parsedPayload = nullptr;
        rates.reset();
    }
};

JsonScratch::JsonScratch() : m_parser(std::make_unique<Parser>()) {}
JsonScratch::~JsonScratch() = default;

void JsonScratch::shareTextsWith(QList<LearnedRates::Row> rows)
{
    m_parser->earlierRows = std::move(rows);
}

void JsonScratch::standInForRows(std::size_t arrayOffset, QList<LearnedRates::Row> rows)
{
    m_parser->standInOffset = arrayOffset;
    m_parser->standInRows = std::move(rows);
}

namespace {

// The caller's scratch, or one for this call only.
class ParserFor final {
public:
    explicit ParserFor(JsonScratch *scratch) : m_scratch(scratch) {}
    JsonScratch::Parser &get()
    {
        if (m_scratch)
            return m_scratch->parser();
        if (!m_own)
            m_own.emplace();
        return *m_own;
    }

private:
    JsonScratch *m_scratch;
    std::optional<JsonScratch::Parser> m_own;
};

// Rows read while their line arrived, and where the array whose first item stands for them
// begins in the text being decoded.
struct RowsStandIn {
    const char *arrayAt = nullptr;
    QList<LearnedRates::Row> *rows = nullptr;
};

// The members of a "learnedRates" payload. `textEnd` bounds the payload's text; `finished`
// tells whether nothing but blanks follows the object; none when the caller checks that. One
// function, not a template: every copy of it would dilute the inlining of the row readers.
Decoded<LearnedRates> decodeLearnedRates(od::object &object, const char *textEnd, od::document *finished,
                                         RowsStandIn standIn = {})
{
    using Result = Decoded<LearnedRates>;
    using Row = LearnedRates::Row;
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
        od::value &value = field.value();
        const Value v{value, token(value)};
        if (key == "rows") {
            FieldError &error = listErrors[tRows];
            error = {};
            QList<Row> *readBefore = v.token.data() == standIn.arrayAt ? standIn.rows : nullptr;
            state.record(tRows, decodeList(
                                    v, textEnd, "rows", rates.rows, error,
                                    [&caches](od::object &o, Row &row, FieldError &e) {
                                        return decodeRow(o, row, caches, e);
                                    },
                                    readBefore));
        } else if (key == "outputs") {
            FieldError &error = listErrors[tOutputs];
            error = {};
            state.record(tOutputs, decodeList(v, textEnd, "outputs", rates.outputs, error, decodeOutput));
        } else if (key == "nowPlayingID") {
            state.record(tNowPlaying, readOptional(v, rates.nowPlayingID, readString));
        } else if (key == "notice") {
            state.record(tNotice, readOptional(v, rates.notice, readString));
        }
        if (state.malformed())
            return Result::failure({}, Reason::malformed());
    }
    if (finished && !atEnd(*finished))
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

// Continues from the line the scratch's head decode indexed, when `payload` is the payload it
// found there. None when it is not.
std::optional<Decoded<LearnedRates>> learnedRatesFromHead(JsonScratch::Parser &scratch,
                                                          std::string_view payload)
{
    const char *const parsedPayload = scratch.parsedPayload;
    const std::string_view callerPayload = scratch.callerPayload;
    // Whatever happens next re-uses the parser: forget what the head left, once it is taken.
    const auto forget = qScopeGuard([&scratch] { scratch.forget(); });
    if (!parsedPayload || payload.data() != callerPayload.data() || payload.size() != callerPayload.size())
        return std::nullopt;
    if (scratch.rates)
        return Decoded<LearnedRates>{std::move(scratch.rates), {}};
    scratch.document.rewind();
    od::object envelope;
    if (scratch.document.get_object().get(envelope))
        return std::nullopt;
    for (auto member : envelope) {
        od::field field;
        std::string_view key;
        if (!readKey(member, field, key))
            return std::nullopt;
        od::value &value = field.value();
        od::object object;
        if (key != "payload" || token(value).data() != parsedPayload || value.get_object().get(object))
            continue;
        // What follows the payload in the line was checked by the head decode.
        RowsStandIn standIn;
        if (scratch.standInRows)
            standIn = {scratch.standInAt, &*scratch.standInRows};
        return decodeLearnedRates(object, parsedPayload + payload.size(), nullptr, standIn);
    }
    return std::nullopt;
}

} // namespace

Decoded<LearnedRates> LearnedRates::fromJsonText(std::string_view payload, std::size_t capacity,
                                                 JsonScratch *scratch)
{
    using Result = Decoded<LearnedRates>;
    ParserFor parser(scratch);
    JsonScratch::Parser &p = parser.get();
    // A copy of an unpadded text is not worth keeping once its rows are built.
    const auto dropCopy = qScopeGuard([&p] { p.copy = simdjson::padded_string(); });
    if (std::optional<Result> fromHead = learnedRatesFromHead(p, payload))
        return std::move(*fromHead);

    const simdjson::padded_string_view text = paddedView(payload, capacity, p.copy);
    od::document document;
    od::object object;
    if (p.parser.iterate(text).get(document) || document.get_object().get(object))
        return Result::failure({}, Reason::notJsonObject());
    return decodeLearnedRates(object, text.data() + text.size(), &document);
}

int LearnedRates::dropImplausibleRows()
{
    return int(rows.removeIf([](const Row &row) { return !RatePlausibility::isPlausible(row.rate); }));
}

namespace {

// The head as its caller sees it, pointing into the caller's line even when the text read was
// a padded copy of it; the scratch remembers the payload for fromJsonText.
EnvelopeHead handOver(JsonScratch::Parser &p, EnvelopeHead head, std::string_view payloadInParsedText,
                      std::string_view text, std::string_view line, std::size_t capacity)
{
    const std::size_t offset = std::size_t(payloadInParsedText.data() - text.data());
    head.payload = line.substr(offset, payloadInParsedText.size());
    head.payloadCapacity = capacity >= line.size() ? capacity - offset : line.size() - offset;
    p.callerPayload = head.payload;
    p.parsedPayload = payloadInParsedText.data();
    return head;
}

// One walk over the line: "v", "type" and the extent of the payload, which is skipped.
Decoded<EnvelopeHead> walkHead(JsonScratch::Parser &p, simdjson::padded_string_view text,
                               std::string_view line, std::size_t capacity)
{
    using Result = Decoded<EnvelopeHead>;
    od::document &document = p.document;
    od::object object;
    if (p.parser.iterate(text).get(document) || document.get_object().get(object))
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
        od::value &value = field.value();
        const Value v{value, token(value)};
        if (key == "v") {
            qint64 version = 0;
            Why why = readWhole(v, version);
            if (why == Why::none &&
                (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max()))
                why = Why::whole;
            if (why == Why::none)
                head.v = int(version);
            state.record(hV, why);
        } else if (key == "type") {
            state.record(hType, readString(v, head.type));
        } else if (key == "payload") {
            od::object payload;
            std::string_view raw;
            if (v.token.empty() || v.token.front() != '{') {
                state.record(hPayload, Why::object);
            } else if (value.get_object().get(payload) || payload.raw_json().get(raw)) {
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

    return Result{handOver(p, std::move(head), payloadInParsedText, text, line, capacity), {}};
}

} // namespace

Decoded<EnvelopeHead> decodeEnvelopeHead(std::string_view line, std::size_t capacity, JsonScratch *scratch)
{
    // Below this, indexing a line twice costs too little to be worth trying a reader that may
    // give up.
    constexpr std::size_t onePassFrom = 64 * 1024;
    ParserFor parser(scratch);
    JsonScratch::Parser &p = parser.get();
    p.forget();
    const simdjson::padded_string_view text = paddedView(line, capacity, p.copy);
    // A line whose rows were read while it arrived holds a stand-in for them that the one-pass
    // reader would give up on.
    p.standInAt = p.standInRows ? text.data() + p.standInOffset : nullptr;
    if (scratch && line.size() >= onePassFrom && !p.standInRows) {
        // The companion's Rate Library, read in one pass without an index when it is plain.
        if (std::optional<Detail::LearnedRatesLine> read =
                Detail::readLearnedRatesLine(text, p.earlierRows.isEmpty() ? nullptr : &p.earlierRows)) {
            EnvelopeHead head{read->v, std::move(read->type), {}, 0};
            head = handOver(p, std::move(head), read->payload, text, line, capacity);
            p.rates = std::move(read->rates);
            return {std::move(head), {}};
        }
    }
    return walkHead(p, text, line, capacity);
}

} // namespace SwitcherProtocol
