// Reading a 28 MB Rate Library with simdjson costs an index of every token first (stage one and
// the page faults of its memory), then a walk over that index. The companion's line is plain
// compact JSON, so this reader goes over the bytes once, building rows as it meets them, and
// gives up on the first thing it does not expect; the general decoders then take the line.
// Giving up is always safe, so the reader only ever has to be right about what it accepts: it
// checks the whole JSON grammar, escapes and UTF-8, and reads values as fromJson does.

#include "LearnedRatesLineReader.h"

#include "EarlierRows.h"
#include "SwitcherProtocolDecoding.h"

#include <simdjson.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace SwitcherProtocol::Detail {

namespace {

// Deeper than any record of ours nests; unknown values nested deeper are left to the general
// decoders.
constexpr int maxDepth = 64;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A JSON string as it stands in the line, between its quotes.
struct Text {
    std::string_view raw;
    bool escaped = false;
    bool ascii = true;
};

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool hex4(const char *c, const char *end, char32_t &out)
{
    if (end - c < 4)
        return false;
    out = 0;
    for (int i = 0; i < 4; ++i) {
        const char h = c[i];
        out <<= 4;
        if (isDigit(h))
            out |= char32_t(h - '0');
        else if (h >= 'a' && h <= 'f')
            out |= char32_t(h - 'a' + 10);
        else if (h >= 'A' && h <= 'F')
            out |= char32_t(h - 'A' + 10);
        else
            return false;
    }
    return true;
}

// The characters of an escaped string, as UTF-8. A lone surrogate gives up: the general
// decoders have their own views on it.
bool unescape(std::string_view raw, std::string &out)
{
    out.clear();
    const char *c = raw.data();
    const char *const end = c + raw.size();
    while (c < end) {
        const auto *slash = static_cast<const char *>(std::memchr(c, '\\', std::size_t(end - c)));
        if (!slash) {
            out.append(c, end);
            break;
        }
        out.append(c, slash);
        c = slash + 1; // the string scan saw a character after every backslash
        switch (*c++) {
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        case '/':
            out += '/';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            char32_t cp = 0;
            if (!hex4(c, end, cp))
                return false;
            c += 4;
            if (cp >= 0xDC00 && cp <= 0xDFFF)
                return false;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                char32_t low = 0;
                if (end - c < 6 || c[0] != '\\' || c[1] != 'u' || !hex4(c + 2, end, low) || low < 0xDC00 ||
                    low > 0xDFFF)
                    return false;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                c += 6;
            }
            appendUtf8(out, cp);
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

const QString *earlierText(const LearnedRates::Row *row, const QString LearnedRates::Row::*field)
{
    return row ? &(row->*field) : nullptr;
}

const QString *earlierText(const LearnedRates::Row *row,
                           const std::optional<QString> LearnedRates::Row::*field)
{
    return row && (row->*field) ? &*(row->*field) : nullptr;
}

class Reader final {
public:
    // With `arriving`, the line is read as it arrives (see ArrivingRows): its rows go to the
    // state, which keeps them from one reading to the next.
    Reader(std::string_view text, const QList<LearnedRates::Row> *earlier, ArrivingState *arriving = nullptr,
           qsizetype earlierNext = 0, qsizetype reach = 0)
        : m_begin(text.data()), m_p(text.data()), m_end(text.data() + text.size()),
          m_earlier(earlier, arriving ? arriving->earlierNext : earlierNext, reach), m_arriving(arriving)
    {
    }

    // A piece of a rows array, all of it: from just after the '[' (`first`) or from the ','
    // after a row, to the end of a row.
    bool rowPiece(bool first, QList<LearnedRates::Row> &out)
    {
        blanks();
        if (first && !(at('{') && row(out.emplace_back())))
            return false;
        while (m_p < m_end) {
            blanks();
            if (!take(','))
                return false;
            blanks();
            if (!at('{') || !row(out.emplace_back()))
                return false;
        }
        return m_p == m_end && !out.isEmpty();
    }

    qsizetype earlierNext() const { return m_earlier.next(); }

    std::optional<LearnedRatesLine> line()
    {
        LearnedRatesLine read;
        bool haveV = false, haveType = false, havePayload = false;
        blanks();
        const bool ok = members([&](std::string_view key) {
            if (key == "payload") {
                if (havePayload || !at('{') || !looksLikeLearnedRates())
                    return false;
                const char *const start = m_p;
                havePayload = payload(read.rates);
                read.payload = std::string_view(start, std::size_t(m_p - start));
                return havePayload;
            }
            if (key == "type") {
                Text type;
                if (haveType || !string(type) || type.escaped || type.raw != "learnedRates")
                    return false;
                read.type = QStringLiteral("learnedRates");
                return haveType = true;
            }
            if (key == "v") {
                qint64 v = 0;
                if (haveV || !whole(v) || v < std::numeric_limits<int>::min() ||
                    v > std::numeric_limits<int>::max())
                    return false;
                read.v = int(v);
                return haveV = true;
            }
            return skipValue(1);
        });
        blanks();
        if (!ok || !haveV || !haveType || !havePayload || m_p != m_end)
            return std::nullopt;
        return read;
    }

private:
    const char *const m_begin;
    const char *m_p;
    const char *const m_end;
    std::string m_unescaped;
    Caches m_caches;
    EarlierRows m_earlier;
    ArrivingState *const m_arriving;

    void blanks()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }
    bool at(char c) const { return m_p < m_end && *m_p == c; }
    bool take(char c)
    {
        if (!at(c))
            return false;
        ++m_p;
        return true;
    }
    bool literal(std::string_view word)
    {
        if (std::size_t(m_end - m_p) < word.size() || std::memcmp(m_p, word.data(), word.size()) != 0)
            return false;
        m_p += word.size();
        return true;
    }

    // The members of an object, at its '{'; `member(key)` reads the value after the colon.
    // Keys we look up are never escaped in practice: an escaped one gives up.
    template <class Member> bool members(Member member)
    {
        if (!take('{'))
            return false;
        blanks();
        if (take('}'))
            return true;
        for (;;) {
            Text key;
            if (!string(key) || key.escaped || (!key.ascii && !validUtf8(key.raw)))
                return false;
            blanks();
            if (!take(':'))
                return false;
            blanks();
            if (!member(key.raw))
                return false;
            blanks();
            if (take(',')) {
                blanks();
                continue;
            }
            return take('}');
        }
    }

    // The items of an array, at its '['. `afterAnItem`: the items up to here were read before
    // and their text is gone; the text goes on from the end of the last of them.
    template <class Item> bool items(Item item, bool afterAnItem = false)
    {
        if (!take('['))
            return false;
        blanks();
        if (!afterAnItem) {
            if (take(']'))
                return true;
            if (!item())
                return false;
            blanks();
        }
        for (;;) {
            if (!take(','))
                return take(']');
            blanks();
            if (!item())
                return false;
            blanks();
        }
    }

    static bool validUtf8(std::string_view utf8) { return simdjson::validate_utf8(utf8.data(), utf8.size()); }

    // At an opening quote: finds the closing one, noting escapes and bytes beyond ASCII. A raw
    // control character gives up.
    bool string(Text &out)
    {
        if (!take('"'))
            return false;
        const char *const start = m_p;
        const char *c = start;
        bool escaped = false, ascii = true;
        for (;;) {
#if defined(__SSE2__)
            // Sixteen bytes at a time; the caller leaves at least that much readable past the end.
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(c));
            const __m128i quote = _mm_cmpeq_epi8(block, _mm_set1_epi8('"'));
            const __m128i slash = _mm_cmpeq_epi8(block, _mm_set1_epi8('\\'));
            const __m128i control =
                _mm_cmpeq_epi8(_mm_max_epu8(block, _mm_set1_epi8(0x1F)), _mm_set1_epi8(0x1F));
            const unsigned stops =
                unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(quote, slash), control)));
            const unsigned high = unsigned(_mm_movemask_epi8(block));
            if (stops == 0) {
                ascii = ascii && high == 0;
                c += 16;
                if (c >= m_end)
                    return false;
                continue;
            }
            const int offset = __builtin_ctz(stops);
            ascii = ascii && (high & ((1u << offset) - 1)) == 0;
            c += offset;
#else
            while (c < m_end && *c != '"' && *c != '\\' && static_cast<unsigned char>(*c) >= 0x20) {
                ascii = ascii && static_cast<unsigned char>(*c) < 0x80;
                ++c;
            }
#endif
            if (c >= m_end)
                return false;
            if (*c == '"')
                break;
            if (*c != '\\')
                return false;
            escaped = true;
            c += 2; // the escaped character is checked when the string is unescaped
            if (c >= m_end)
                return false;
        }
        out = {std::string_view(start, std::size_t(c - start)), escaped, ascii};
        m_p = c + 1;
        return true;
    }

    // The string's characters as checked UTF-8, unescaped into a buffer that the next string
    // re-uses when there were escapes.
    bool characters(const Text &text, std::string_view &utf8)
    {
        if (!text.ascii && !validUtf8(text.raw))
            return false;
        if (!text.escaped) {
            utf8 = charactersWithoutEscapes(text.raw);
            return true;
        }
        if (!unescape(text.raw, m_unescaped))
            return false;
        utf8 = m_unescaped;
        return true;
    }

    // A string value: where it stands, and its characters.
    bool stringValue(Text &text, std::string_view &utf8)
    {
        return string(text) && characters(text, utf8);
    }

    // The string as a QString: `earlier` itself when it reads the same.
    bool qstring(QString &out, const QString *earlier = nullptr)
    {
        Text text;
        std::string_view utf8;
        if (!stringValue(text, utf8))
            return false;
        out = sameOrNew(text, utf8, earlier);
        return true;
    }

    static QString sameOrNew(const Text &text, std::string_view utf8, const QString *earlier)
    {
        const bool shareable = earlier && !earlier->isEmpty();
        // \u escapes can stand for any character, so only plain ASCII takes the Latin-1 shortcut.
        if (text.ascii && !text.escaped) {
            const QLatin1String latin1(utf8.data(), qsizetype(utf8.size()));
            return shareable && *earlier == latin1 ? *earlier : QString(latin1);
        }
        return shareable && readsAs(utf8, *earlier) ? *earlier : Detail::text(utf8);
    }

    // Whether checked UTF-8 reads as `text`, without converting it.
    static bool readsAs(std::string_view utf8, QStringView text)
    {
        const char16_t *unit = text.utf16();
        const char16_t *const end = unit + text.size();
        for (std::size_t at = 0; at < utf8.size();) {
            const auto lead = static_cast<unsigned char>(utf8[at]);
            const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
            for (int k = 1; k < length; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(utf8[at + std::size_t(k)]) & 0x3F);
            at += std::size_t(length);
            if (cp >= 0x10000) {
                if (end - unit < 2 || unit[0] != char16_t(0xD7C0 + (cp >> 10)) ||
                    unit[1] != char16_t(0xDC00 | (cp & 0x3FF)))
                    return false;
                unit += 2;
            } else if (unit == end || *unit++ != cp) {
                return false;
            }
        }
        return unit == end;
    }

    bool word(QString &out, WordCache &cache)
    {
        Text text;
        std::string_view utf8;
        if (!stringValue(text, utf8))
            return false;
        out = text.escaped ? Detail::text(utf8) : cache.get(utf8);
        return true;
    }

    bool optionalString(std::optional<QString> &out, const QString *earlier = nullptr)
    {
        if (literal("null")) {
            out.reset();
            return true;
        }
        QString value;
        if (!qstring(value, earlier))
            return false;
        out = std::move(value);
        return true;
    }

    // The repeat cache keeps a view of the text it last saw; only the line itself lives long
    // enough for that.
    bool repeatedString(std::optional<QString> &out, RepeatCache &cache, const QString *earlier)
    {
        if (literal("null")) {
            out.reset();
            return true;
        }
        Text text;
        std::string_view utf8;
        if (!stringValue(text, utf8))
            return false;
        if (text.escaped)
            out = cache.take(sameOrNew(text, utf8, earlier));
        else if (!cache.repeats(utf8))
            out = cache.keep(utf8, sameOrNew(text, utf8, earlier));
        else
            out = cache.last();
        return true;
    }

    bool boolean(bool &out)
    {
        if (literal("true"))
            out = true;
        else if (literal("false"))
            out = false;
        else
            return false;
        return true;
    }

    // A number's text, checked against JSON's grammar; `integral` when it has neither a
    // fraction nor an exponent.
    bool numberText(std::string_view &out, bool &integral)
    {
        const char *c = m_p;
        if (c < m_end && *c == '-')
            ++c;
        if (c >= m_end || !isDigit(*c))
            return false;
        if (*c == '0')
            ++c;
        else
            while (c < m_end && isDigit(*c))
                ++c;
        integral = true;
        if (c < m_end && *c == '.') {
            integral = false;
            ++c;
            if (c >= m_end || !isDigit(*c))
                return false;
            while (c < m_end && isDigit(*c))
                ++c;
        }
        if (c < m_end && (*c == 'e' || *c == 'E')) {
            integral = false;
            ++c;
            if (c < m_end && (*c == '+' || *c == '-'))
                ++c;
            if (c >= m_end || !isDigit(*c))
                return false;
            while (c < m_end && isDigit(*c))
                ++c;
        }
        out = std::string_view(m_p, std::size_t(c - m_p));
        m_p = c;
        return true;
    }

    // Whole numbers of up to 18 digits, the sign apart; longer ones give up.
    static bool smallInteger(std::string_view digits, qint64 &out)
    {
        const bool negative = digits.front() == '-';
        if (negative)
            digits.remove_prefix(1);
        if (digits.size() > 18)
            return false;
        qint64 value = 0;
        for (const char d : digits)
            value = value * 10 + (d - '0');
        out = negative ? -value : value;
        return true;
    }

    bool number(double &out)
    {
        std::string_view text;
        bool integral = false;
        if (!numberText(text, integral))
            return false;
        qint64 whole = 0;
        // Below 2^53 a whole number is exactly that double, so the general parse is not needed.
        if (integral && text.size() <= 16 && smallInteger(text, whole)) {
            out = double(whole);
            if (text.front() == '-')
                out = -std::abs(out); // "-0" is negative zero, as simdjson reads it
            return true;
        }
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
        return error == std::errc() && end == text.data() + text.size() && std::isfinite(out);
    }

    bool optionalNumber(std::optional<double> &out)
    {
        if (literal("null")) {
            out.reset();
            return true;
        }
        double value = 0;
        if (!number(value))
            return false;
        out = value;
        return true;
    }

    // A whole number as fromJson takes it: written whole, or a double that holds one exactly.
    bool whole(qint64 &out)
    {
        const char *const start = m_p;
        std::string_view text;
        bool integral = false;
        if (!numberText(text, integral))
            return false;
        if (integral)
            return smallInteger(text, out);
        m_p = start;
        double d = 0;
        if (!number(d))
            return false;
        const std::optional<qint64> value = wholeNumber(d);
        if (!value)
            return false;
        out = *value;
        return true;
    }

    bool date(QDateTime &out)
    {
        Text text;
        std::string_view utf8;
        if (!stringValue(text, utf8))
            return false;
        std::optional<QDateTime> date = parseIsoDate(utf8);
        if (!date)
            return false;
        out = *date;
        return true;
    }

    // Any value under a key we do not read, checked as strictly as the ones we do.
    bool skipValue(int depth)
    {
        if (m_p >= m_end)
            return false;
        switch (*m_p) {
        case '"': {
            Text text;
            std::string_view utf8;
            return stringValue(text, utf8);
        }
        case '{':
            return depth < maxDepth && members([&](std::string_view) { return skipValue(depth + 1); });
        case '[':
            return depth < maxDepth && items([&] { return skipValue(depth + 1); });
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        case 'n':
            return literal("null");
        default: {
            double ignored = 0;
            return number(ignored);
        }
        }
    }

    // Only a payload that starts like a Rate Library is worth reading as one.
    bool looksLikeLearnedRates() const
    {
        const char *c = m_p + 1;
        while (c < m_end && (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r'))
            ++c;
        for (const std::string_view key : {"\"rows\"", "\"outputs\"", "\"notice\"", "\"nowPlayingID\""}) {
            if (std::size_t(m_end - c) >= key.size() && std::string_view(c, key.size()) == key)
                return true;
        }
        return false;
    }

    bool payload(LearnedRates &rates)
    {
        bool haveRows = false, haveOutputs = false, haveNowPlaying = false, haveNotice = false;
        const bool ok = members([&](std::string_view key) {
            if (key == "rows") {
                if (haveRows)
                    return false;
                haveRows = true;
                if (m_arriving)
                    return arrivingRows();
                return list(rates.rows, [this](LearnedRates::Row &row) { return this->row(row); });
            }
            if (key == "outputs") {
                if (haveOutputs)
                    return false;
                haveOutputs = true;
                return list(rates.outputs,
                            [this](LearnedRates::Output &output) { return this->output(output); });
            }
            if (key == "nowPlayingID") {
                if (haveNowPlaying)
                    return false;
                haveNowPlaying = true;
                return optionalString(rates.nowPlayingID);
            }
            if (key == "notice") {
                if (haveNotice)
                    return false;
                haveNotice = true;
                return optionalString(rates.notice);
            }
            return skipValue(2);
        });
        return ok && haveRows && haveOutputs;
    }

    template <class T, class ReadOne> bool list(QList<T> &out, ReadOne readOne)
    {
        out.clear();
        const char *first = nullptr;
        return items([&] {
            if (!at('{'))
                return false;
            if (!first)
                first = m_p;
            else
                reserveForTheRest(out, m_p - first, m_end - m_p);
            return readOne(out.emplace_back());
        });
    }

    // The rows of a line read as it arrives: where they begin is noted, and reading stops there
    // until the line has ended. Then the rows go on from those read before, whose text is gone
    // from after the '[', into the state.
    bool arrivingRows()
    {
        ArrivingState &a = *m_arriving;
        const qsizetype offset = m_p - m_begin;
        if (a.rowsAt >= 0 && a.rowsAt != offset)
            return false; // never: what comes before the rows does not change
        a.rowsAt = offset;
        if (!a.lineEnded)
            return false;
        const char *const first = m_p + 1;
        return items(
            [&] {
                if (!at('{'))
                    return false;
                reserveForTheRest(a.rows, a.bytesGone + (m_p - first), m_end - m_p);
                return row(a.rows.emplace_back());
            },
            !a.rows.isEmpty());
    }

    bool row(LearnedRates::Row &row)
    {
        using Row = LearnedRates::Row;
        const Row *earlier = m_earlier.expected();
        quint32 seen = 0;
        const bool ok = members([&](std::string_view key) {
            const int field = rowField(key);
            if (field < 0)
                return skipValue(3);
            const quint32 bit = 1u << field;
            if (seen & bit)
                return false;
            seen |= bit;
            switch (field) {
            case fId:
                return qstring(row.id, earlierText(earlier, &Row::id));
            case fKind:
                return word(row.kind, m_caches.kinds);
            case fTier:
                return word(row.tier, m_caches.tiers);
            case fTitle:
                return optionalString(row.title, earlierText(earlier, &Row::title));
            case fArtist:
                return repeatedString(row.artist, m_caches.artist, earlierText(earlier, &Row::artist));
            case fAlbum:
                return repeatedString(row.album, m_caches.album, earlierText(earlier, &Row::album));
            case fRate:
                return number(row.rate);
            case fLearnedRate:
                return optionalNumber(row.learnedRate);
            case fPinned:
                return boolean(row.pinned);
            case fSource:
                return word(row.source, m_caches.sources);
            case fConfirmations:
                return whole(row.confirmations);
            case fConfirmedAt:
                return date(row.confirmedAt);
            default:
                return false;
            }
        });
        if (!ok || (seen & rowRequired) != rowRequired)
            return false;
        m_earlier.passed(row.id);
        return true;
    }

    bool output(LearnedRates::Output &output)
    {
        bool haveDevice = false, haveAtmos = false, haveAtmosOutput = false;
        auto optionalBool = [this](std::optional<bool> &out) {
            if (literal("null")) {
                out.reset();
                return true;
            }
            bool value = false;
            if (!boolean(value))
                return false;
            out = value;
            return true;
        };
        const bool ok = members([&](std::string_view key) {
            if (key == "deviceUID")
                return !std::exchange(haveDevice, true) && qstring(output.deviceUID);
            if (key == "atmos")
                return !std::exchange(haveAtmos, true) && optionalBool(output.atmos);
            if (key == "atmosOutput")
                return !std::exchange(haveAtmosOutput, true) && optionalBool(output.atmosOutput);
            return skipValue(3);
        });
        return ok && haveDevice;
    }
};

} // namespace

std::optional<LearnedRatesLine> readLearnedRatesLine(std::string_view text,
                                                     const QList<LearnedRates::Row> *earlier)
{
    return Reader(text, earlier).line();
}

std::optional<LearnedRatesLine>
readArrivingLine(std::string_view text, const QList<LearnedRates::Row> *earlier, ArrivingState &state)
{
    return Reader(text, earlier, &state).line();
}

bool readRowPiece(std::string_view text, bool first, const QList<LearnedRates::Row> *earlier, RowPiece &piece)
{
    Reader reader(text, earlier, nullptr, piece.earlierNext, piece.reach);
    const bool read = reader.rowPiece(first, piece.rows);
    piece.earlierNext = reader.earlierNext();
    return read;
}

} // namespace SwitcherProtocol::Detail
