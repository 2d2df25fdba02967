#include "RateLibraryIndex.h"

#include "EarlierRows.h"
#include "HeapMemory.h"
#include "RateLibraryRowText.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <future>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <limits>

using namespace RateLibrary;
using Tier = SwitcherProtocol::LearnedRates::Tier;

namespace {

// Tier words as small codes; the first five follow the Setting column's order.
enum TierCode : std::uint8_t { hiresCode, losslessCode, aacCode, fileCode, anyCode, unknownCode, otherCode };
enum Flag : std::uint8_t { pinnedFlag = 1, fileSourceFlag = 2 };

TierCode tierCode(const QString &tier)
{
    if (tier == Tier::hires)
        return hiresCode;
    if (tier == Tier::lossless)
        return losslessCode;
    if (tier == Tier::aac)
        return aacCode;
    if (tier == Tier::file)
        return fileCode;
    if (tier == Tier::any)
        return anyCode;
    if (tier == Tier::unknown)
        return unknownCode;
    return otherCode;
}

// Sorts bytes into 64 classes: each lower-case letter, digit and the space alone in its class,
// the other bytes sharing the rest.
constexpr int byteClass(std::uint8_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= '0' && c <= '9')
        return 26 + (c - '0');
    if (c == ' ')
        return 36;
    if (c < 0x80)
        return 37 + c % 11;
    return 48 + (c & 15);
}

constexpr bool classIsOneByte(std::uint8_t c)
{
    return byteClass(c) <= 36;
}

// Zero bytes after the last row, so that a 16-byte load starting in it stays in the buffer.
constexpr qsizetype searchPadding = 32;

constexpr qint64 noWholeHertz = std::numeric_limits<qint64>::min();

// Whole hertz, halves away from zero; rates that have no whole value never match a filter.
qint64 wholeHertz(double rate)
{
    if (!std::isfinite(rate) || std::fabs(rate) >= 9.0e18)
        return noWholeHertz;
    return qint64(std::llround(rate));
}

// Appends `text` lower-cased as UTF-8; most titles are ASCII, which needs no conversion.
void appendLowered(QByteArray &out, const QString &text)
{
    const char16_t *chars = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        if (chars[i] >= 0x80) {
            out += text.toLower().toUtf8();
            return;
        }
    }
    const qsizetype at = out.size();
    out.resize(at + length);
    char *to = out.data() + at;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = chars[i];
        to[i] = char(c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
}

qint64 dateKey(const QDateTime &date)
{
    return date.isValid() ? date.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

} // namespace

struct RateLibraryIndex::Orders {
    std::vector<int> rank;
    std::vector<int> ascending;
    std::vector<int> descending;
};

// Each row's title, artist and album, lower-cased, as UTF-8 one after another with a zero byte
// after each; `fieldStart` holds three starts per row and one past the end. UTF-8 keeps it small
// and quick to scan; a byte match of valid UTF-8 is a character match.
struct RateLibraryIndex::SearchText {
    QByteArray text;
    std::vector<qsizetype> fieldStart;
    // Per row, which byte classes its text holds (see byteClass): rows lacking one of the
    // needle's classes are skipped without being read.
    std::vector<quint64> rowClasses;
};

struct RateLibraryIndex::Prepared {
    std::vector<std::uint8_t> tier;
    std::vector<std::uint8_t> flags;
    std::vector<qint64> wholeRate;
    // Shared with the index of the library before when every row's texts read as those of the
    // earlier row at its place.
    std::shared_ptr<const SearchText> search;
    int tracks = 0;
    int pinned = 0;
    // The order made with the index, never changed afterwards: the next library's index, made
    // on another thread while this one is on show, may take it over.
    std::optional<SortKey> firstKey;
    std::shared_ptr<const Orders> firstOrder;

    mutable std::array<std::shared_ptr<const Orders>, 6> orders;
    mutable QHash<QString, QList<double>> rateChoices;
    mutable std::unique_ptr<QList<double>> allRateChoices;
    mutable std::unique_ptr<QStringList> keyedIds;
    mutable QHash<QString, int> rowOfKeyedId;
};

namespace {

// The same text; mostly shared too, as the link takes unchanged texts from the library before.
bool sameText(const std::optional<QString> &a, const std::optional<QString> &b)
{
    return a ? b && (a->isSharedWith(*b) || *a == *b) : !b;
}

} // namespace

RateLibraryIndex::RateLibraryIndex(SwitcherProtocol::LearnedRates rates, const RateLibraryIndex *earlier,
                                   std::optional<RateLibrary::SortKey> firstOrder)
    : m_rates(std::move(rates)), m_prepared(std::make_shared<Prepared>()),
      m_outputs(outputsFor(m_rates.outputs, earlier))
{
    Prepared &p = *m_prepared;
    const int n = size();
    const Prepared *before = earlier ? earlier->m_prepared.get() : nullptr;

    // The companion sends its whole library after every change, mostly as it was. When every
    // row stands where it stood, under the same id, what depends only on values that did not
    // change is taken over from the earlier index, not copied: its search text when no text
    // changed, its first order when no row's sort key did.
    bool samePlaces = earlier && earlier->size() == n;
    bool sameTexts = samePlaces;
    bool sameFirstKeys = samePlaces && firstOrder && before->firstKey == firstOrder && before->firstOrder;
    for (int i = 0; samePlaces && i < n; ++i) {
        const Row &row = m_rates.rows.at(i);
        const Row &was = earlier->m_rates.rows.at(i);
        samePlaces = row.id.isSharedWith(was.id) || row.id == was.id;
        sameTexts = sameTexts && sameText(row.title, was.title) && sameText(row.artist, was.artist) &&
                    sameText(row.album, was.album);
        if (sameFirstKeys) {
            switch (*firstOrder) {
            case SortKey::track:
                sameFirstKeys = sameText(row.title, was.title);
                break;
            case SortKey::album:
                sameFirstKeys = sameText(row.album, was.album);
                break;
            case SortKey::setting:
                sameFirstKeys = tierCode(row.tier) == tierCode(was.tier);
                break;
            case SortKey::source:
                sameFirstKeys =
                    row.pinned == was.pinned && (row.source == u"file") == (was.source == u"file");
                break;
            case SortKey::rate:
                sameFirstKeys = row.rate == was.rate;
                break;
            case SortKey::confirmed:
                sameFirstKeys = dateKey(row.confirmedAt) == dateKey(was.confirmedAt);
                break;
            }
        }
    }
    sameTexts = sameTexts && samePlaces;
    sameFirstKeys = sameFirstKeys && samePlaces;

    // An order by the rows' own values needs nothing prepared here: it is made alongside.
    std::future<std::shared_ptr<const Orders>> madeAlongside;
    if (firstOrder && !sameFirstKeys &&
        (*firstOrder == SortKey::confirmed || *firstOrder == SortKey::rate || *firstOrder == SortKey::track ||
         *firstOrder == SortKey::album))
        madeAlongside = std::async(std::launch::async, [this, key = *firstOrder] { return makeOrders(key); });

    p.tier.resize(n);
    p.flags.resize(n);
    p.wholeRate.resize(n);
    for (int i = 0; i < n; ++i) {
        const Row &row = m_rates.rows.at(i);
        p.tier[i] = tierCode(row.tier);
        p.flags[i] = (row.pinned ? pinnedFlag : 0) | (row.source == u"file" ? fileSourceFlag : 0);
        p.wholeRate[i] = wholeHertz(row.rate);
        p.pinned += (p.flags[std::size_t(i)] & pinnedFlag) != 0;
    }
    p.search = sameTexts ? before->search : makeSearchText(earlier);

    if (samePlaces) {
        p.tracks = before->tracks;
    } else {
        QSet<QStringView> ids;
        ids.reserve(n);
        for (const Row &row : std::as_const(m_rates.rows))
            ids.insert(row.id);
        p.tracks = int(ids.size());
    }
    if (firstOrder) {
        p.firstKey = firstOrder;
        if (sameFirstKeys)
            p.firstOrder = before->firstOrder;
        else if (madeAlongside.valid())
            p.firstOrder = madeAlongside.get();
        else
            p.firstOrder = makeOrders(*firstOrder);
        p.orders[std::size_t(*firstOrder)] = p.firstOrder;
    }
}

std::shared_ptr<const RateLibraryIndex::SearchText>
RateLibraryIndex::makeSearchText(const RateLibraryIndex *earlier) const
{
    auto search = std::make_shared<SearchText>();
    SearchText &s = *search;
    const int n = size();
    s.fieldStart.resize(std::size_t(n) * 3 + 1);
    s.rowClasses.resize(std::size_t(n));
    const SearchText *before = earlier ? earlier->m_prepared->search.get() : nullptr;
    // Room for the search text: as much as the earlier library's when there is one (walking
    // 100,000 rows once more to count costs milliseconds), else what the rows' texts take. Never
    // detach, and never copy a text (each copy writes to its shared count): the rows stay shared
    // with the model.
    qsizetype length = before ? before->text.size() : 0;
    const auto sizeOf = [](const std::optional<QString> &text) { return text ? text->size() : 0; };
    for (int i = 0; !before && i < n; ++i) {
        const Row &row = m_rates.rows.at(i);
        length += sizeOf(row.title) + sizeOf(row.artist) + sizeOf(row.album) + 3;
    }
    s.text.reserve(length + length / 8 + searchPadding);
    HeapMemory::preferLargePages(s.text.constData(), std::size_t(length));

    // A text that reads as the earlier row's is copied lowered from the earlier index; a row
    // whose three texts all do takes its whole text and its byte classes at once.
    SwitcherProtocol::EarlierRows matches(earlier ? &earlier->m_rates.rows : nullptr);
    const char separator = '\0';
    for (int i = 0; i < n; ++i) {
        const Row &row = m_rates.rows.at(i);
        const Row *match = matches.passed(row.id);
        const std::size_t k = match ? std::size_t(match - earlier->m_rates.rows.constData()) : 0;
        const std::optional<QString> Row::*fields[3] = {&Row::title, &Row::artist, &Row::album};
        const auto taken = [&](int f) { return sameText(row.*fields[f], match->*fields[f]); };
        const std::size_t at = std::size_t(i) * 3;
        if (match && taken(0) && taken(1) && taken(2)) {
            // The whole row's text, three fields and their ends, in one copy.
            const qsizetype from = before->fieldStart[k * 3];
            for (int f = 0; f < 3; ++f)
                s.fieldStart[at + f] = s.text.size() + before->fieldStart[k * 3 + f] - from;
            s.text.append(before->text.constData() + from, before->fieldStart[k * 3 + 3] - from);
            s.rowClasses[std::size_t(i)] = before->rowClasses[k];
        } else {
            for (int f = 0; f < 3; ++f) {
                s.fieldStart[at + f] = s.text.size();
                const std::optional<QString> &mine = row.*fields[f];
                if (match && mine && taken(f)) {
                    const qsizetype from = before->fieldStart[k * 3 + f];
                    s.text.append(before->text.constData() + from,
                                  before->fieldStart[k * 3 + f + 1] - 1 - from);
                } else if (mine) {
                    appendLowered(s.text, *mine);
                }
                s.text += separator;
            }
            quint64 classes = 0;
            const char *text = s.text.constData();
            for (qsizetype c = s.fieldStart[at]; c < s.text.size(); ++c)
                classes |= quint64(1) << byteClass(std::uint8_t(text[c]));
            s.rowClasses[std::size_t(i)] = classes;
        }
    }
    s.fieldStart[std::size_t(n) * 3] = s.text.size();
    s.text.append(searchPadding, '\0'); // room for wide loads past the last row
    return search;
}

RateLibraryIndex::RateLibraryIndex(SwitcherProtocol::LearnedRates rates, std::shared_ptr<Prepared> prepared,
                                   std::shared_ptr<const LibraryOutputs> outputs)
    : m_rates(std::move(rates)), m_prepared(std::move(prepared)), m_outputs(std::move(outputs))
{
}

std::shared_ptr<const LibraryOutputs> RateLibraryIndex::outputsFor(const QList<Output> &outputs,
                                                                   const RateLibraryIndex *earlier)
{
    if (earlier && earlier->m_outputs->isFor(outputs))
        return earlier->m_outputs;
    return std::make_shared<const LibraryOutputs>(outputs);
}

int RateLibraryIndex::trackCount() const
{
    return m_prepared->tracks;
}

int RateLibraryIndex::pinnedCount() const
{
    return m_prepared->pinned;
}

bool RateLibraryIndex::isFor(const SwitcherProtocol::LearnedRates &rates) const
{
    return m_rates.rows.isSharedWith(rates.rows) && m_rates.outputs == rates.outputs &&
           m_rates.nowPlayingID == rates.nowPlayingID && m_rates.notice == rates.notice;
}

std::shared_ptr<const RateLibraryIndex>
RateLibraryIndex::forLibrary(const SwitcherProtocol::LearnedRates &rates,
                             const std::shared_ptr<const RateLibraryIndex> &previous)
{
    if (previous && previous->isFor(rates))
        return previous;
    if (previous && previous->m_rates.rows.isSharedWith(rates.rows) && !rates.rows.isEmpty())
        return std::shared_ptr<const RateLibraryIndex>(
            new RateLibraryIndex(rates, previous->m_prepared, outputsFor(rates.outputs, previous.get())));
    return std::make_shared<const RateLibraryIndex>(rates, previous.get());
}

namespace {

bool sameBytes(const char *a, const char *b, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// The first start at or after `from` where `needle` (m ≥ 1 bytes) occurs in `text`, or -1. With
// SSE2 it tests 16 starts at once on the needle's first and last bytes, which leaves few
// candidates to compare in full; being inline, it stays cheap when nearly every row has a hit.
qsizetype findNext(const char *text, qsizetype length, qsizetype from, const char *needle, qsizetype m)
{
    const qsizetype last = length - m; // the last possible start
    if (from > last)
        return -1;
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i lastByte = _mm_set1_epi8(needle[m - 1]);
    for (; i + 15 <= last; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i + m - 1));
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, lastByte))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (sameBytes(text + i + bit + 1, needle + 1, m - 2))
                return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i) {
        if (text[i] == needle[0] && text[i + m - 1] == needle[m - 1] &&
            sameBytes(text + i + 1, needle + 1, m - 2))
            return i;
    }
    return -1;
}

} // namespace

void RateLibraryIndex::markSearchHits(const QString &needle, std::vector<std::uint8_t> &hits) const
{
    const SearchText &p = *m_prepared->search;
    const int n = size();
    hits.assign(std::size_t(n), 0);
    const QByteArray bytes = needle.toUtf8();
    const qsizetype m = bytes.size();
    if (m == 0 || n == 0)
        return;
    const char *text = p.text.constData();
    const char *wanted = bytes.constData();
    // Only a needle holding the zero byte can run from one field into the next; any other match
    // lies inside one field, and a row is done at its first match.
    if (!bytes.contains('\0')) {
        quint64 needed = 0;
        for (char c : bytes)
            needed |= quint64(1) << byteClass(std::uint8_t(c));
        if (m == 1 && classIsOneByte(std::uint8_t(wanted[0]))) {
            // The row's classes answer exactly for a letter, digit or space.
            for (int r = 0; r < n; ++r)
                hits[std::size_t(r)] = (p.rowClasses[std::size_t(r)] & needed) != 0;
            return;
        }
#if defined(__SSE2__)
        // Row by row, 16 starts at a time on the needle's first and last bytes; the buffer's
        // padding makes the loads past a row's end safe, and the mask drops their starts.
        const __m128i first = _mm_set1_epi8(wanted[0]);
        const __m128i lastByte = _mm_set1_epi8(wanted[m - 1]);
        for (int r = 0; r < n; ++r) {
            if ((p.rowClasses[std::size_t(r)] & needed) != needed)
                continue;
            const qsizetype lastStart = p.fieldStart[std::size_t(r) * 3 + 3] - m;
            for (qsizetype i = p.fieldStart[std::size_t(r) * 3]; i <= lastStart; i += 16) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i + m - 1));
                unsigned mask = unsigned(
                    _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, lastByte))));
                if (lastStart - i < 15)
                    mask &= (1u << (lastStart - i + 1)) - 1;
                while (mask) {
                    if (sameBytes(text + i + __builtin_ctz(mask) + 1, wanted + 1, m - 2)) {
                        hits[std::size_t(r)] = 1;
                        i = lastStart; // this row is done
                        break;
                    }
                    mask &= mask - 1;
                }
            }
        }
        return;
#endif
    }
    const qsizetype length = p.fieldStart[std::size_t(n) * 3];
    const bool mayCrossFields = bytes.contains('\0');
    qsizetype from = 0;
    int row = 0;
    for (;;) {
        const qsizetype start = findNext(text, length, from, wanted, m);
        if (start < 0)
            break;
        // Hits only move forward, so the row holding this one is found by walking on.
        while (row + 1 < n && p.fieldStart[std::size_t(row + 1) * 3] <= start)
            ++row;
        const std::size_t base = std::size_t(row) * 3;
        if (mayCrossFields) {
            int field = 0;
            while (field < 2 && p.fieldStart[base + field + 1] <= start)
                ++field;
            const qsizetype fieldEnd = p.fieldStart[base + field + 1] - 1; // the zero byte after it
            if (start + m > fieldEnd) {
                from = start + 1; // ran across a field's end: no match there
                continue;
            }
        }
        hits[std::size_t(row)] = 1;
        from = p.fieldStart[base + 3]; // the next row
    }
}

std::vector<std::uint8_t> RateLibraryIndex::passing(const std::optional<QString> &wantedTier, KindFilter kind,
                                                    double rateFilter, const QString &needle) const
{
    const Prepared &p = *m_prepared;
    const int n = size();
    std::vector<std::uint8_t> pass(std::size_t(n), 1);

    const bool byTier = wantedTier.has_value();
    const TierCode wantedCode = byTier ? tierCode(*wantedTier) : otherCode;
    const bool byRate = rateFilter != 0;
    const qint64 wantedRate = wholeHertz(rateFilter);
    for (int i = 0; i < n; ++i) {
        bool ok = true;
        if (byTier) {
            const std::uint8_t t = p.tier[i];
            ok = t == fileCode || t == anyCode ||
                 (wantedCode != otherCode ? t == wantedCode : (t == otherCode && row(i).tier == *wantedTier));
        }
        if (ok) {
            const std::uint8_t f = p.flags[i];
            switch (kind) {
            case KindFilter::all:
                break;
            case KindFilter::pinned:
                ok = f & pinnedFlag;
                break;
            case KindFilter::learned:
                ok = !(f & pinnedFlag) && !(f & fileSourceFlag);
                break;
            case KindFilter::files:
                ok = f & fileSourceFlag;
                break;
            }
        }
        if (ok && byRate)
            ok = wantedRate != noWholeHertz && p.wholeRate[i] == wantedRate;
        pass[std::size_t(i)] = ok;
    }

    if (!needle.isEmpty()) {
        std::vector<std::uint8_t> hits;
        markSearchHits(needle, hits);
        for (int i = 0; i < n; ++i)
            pass[std::size_t(i)] &= hits[std::size_t(i)];
    }
    return pass;
}

namespace {

template <class Less> void sortStable(std::vector<int> &order, Less less)
{
    std::stable_sort(order.begin(), order.end(), less);
}

} // namespace

void RateLibraryIndex::buildOrder(SortKey key) const
{
    m_prepared->orders[std::size_t(key)] = makeOrders(key);
}

std::shared_ptr<const RateLibraryIndex::Orders> RateLibraryIndex::makeOrders(SortKey key) const
{
    const int n = size();
    auto orders = std::make_shared<Orders>();
    std::vector<int> &asc = orders->ascending;
    asc.resize(std::size_t(n));
    for (int i = 0; i < n; ++i)
        asc[std::size_t(i)] = i;
    std::vector<int> &rank = orders->rank;
    rank.assign(std::size_t(n), 0);

    // Sorts ascending by `less` and gives equal keys (neither less) the same rank.
    auto finish = [&](auto less) {
        sortStable(asc, less);
        int r = 0;
        for (int k = 0; k < n; ++k) {
            if (k > 0 && less(asc[std::size_t(k) - 1], asc[std::size_t(k)]))
                ++r;
            rank[std::size_t(asc[std::size_t(k)])] = r;
        }
    };

    switch (key) {
    case SortKey::track:
    case SortKey::album: {
        std::vector<QString> keys(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            keys[std::size_t(i)] = key == SortKey::track ? trackSortKey(row(i)) : albumSortKey(row(i));
        finish(
            [&](int a, int b) { return compareCodePoints(keys[std::size_t(a)], keys[std::size_t(b)]) < 0; });
        break;
    }
    case SortKey::setting: {
        const Prepared &p = *m_prepared;
        auto code = [&](int i) { return std::min<int>(p.tier[std::size_t(i)], unknownCode); };
        finish([&](int a, int b) { return code(a) < code(b); });
        break;
    }
    case SortKey::source: {
        const Prepared &p = *m_prepared;
        auto code = [&](int i) {
            const std::uint8_t f = p.flags[std::size_t(i)];
            return (f & pinnedFlag) ? 0 : ((f & fileSourceFlag) ? 1 : 2);
        };
        finish([&](int a, int b) { return code(a) < code(b); });
        break;
    }
    case SortKey::rate: {
        finish([&](int a, int b) { return row(a).rate < row(b).rate; });
        break;
    }
    case SortKey::confirmed: {
        std::vector<qint64> keys(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            keys[std::size_t(i)] = dateKey(row(i).confirmedAt);
        finish([&](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
        break;
    }
    }

    // Descending keeps ties in the companion's order too: reverse the groups, not the rows.
    std::vector<int> &desc = orders->descending;
    desc.reserve(std::size_t(n));
    int end = n;
    while (end > 0) {
        int begin = end - 1;
        while (begin > 0 &&
               rank[std::size_t(asc[std::size_t(begin) - 1])] == rank[std::size_t(asc[std::size_t(end) - 1])])
            --begin;
        desc.insert(desc.end(), asc.begin() + begin, asc.begin() + end);
        end = begin;
    }
    return orders;
}

const std::vector<int> &RateLibraryIndex::order(SortKey key, bool reverse) const
{
    if (!m_prepared->orders[std::size_t(key)])
        buildOrder(key);
    const Orders &orders = *m_prepared->orders[std::size_t(key)];
    return reverse ? orders.descending : orders.ascending;
}

const std::vector<int> &RateLibraryIndex::ranks(SortKey key) const
{
    if (!m_prepared->orders[std::size_t(key)])
        buildOrder(key);
    return m_prepared->orders[std::size_t(key)]->rank;
}

const QList<double> &RateLibraryIndex::rateChoices(const std::optional<QString> &wantedTier) const
{
    const Prepared &p = *m_prepared;
    auto build = [&]() {
        QList<double> rates;
        const std::vector<std::uint8_t> pass = passing(wantedTier, KindFilter::all, 0, {});
        for (int i = 0; i < size(); ++i) {
            if (pass[std::size_t(i)])
                rates.append(row(i).rate);
        }
        std::sort(rates.begin(), rates.end());
        rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
        return rates;
    };
    if (!wantedTier) {
        if (!p.allRateChoices)
            p.allRateChoices = std::make_unique<QList<double>>(build());
        return *p.allRateChoices;
    }
    auto it = p.rateChoices.find(*wantedTier);
    if (it == p.rateChoices.end())
        it = p.rateChoices.insert(*wantedTier, build());
    return it.value();
}

const QString &RateLibraryIndex::keyedId(int i) const
{
    const Prepared &p = *m_prepared;
    if (!p.keyedIds) {
        auto ids = std::make_unique<QStringList>();
        ids->reserve(size());
        for (const Row &r : m_rates.rows)
            ids->append(Keyed::keyedId(r));
        p.rowOfKeyedId.reserve(size());
        for (int k = size() - 1; k >= 0; --k)
            p.rowOfKeyedId.insert(ids->at(k), k);
        p.keyedIds = std::move(ids);
    }
    return p.keyedIds->at(i);
}

int RateLibraryIndex::rowForKeyedId(const QString &id) const
{
    if (size() == 0)
        return -1;
    keyedId(0); // builds the lookup
    return m_prepared->rowOfKeyedId.value(id, -1);
}
