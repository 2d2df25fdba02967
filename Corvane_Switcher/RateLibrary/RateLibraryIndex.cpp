#include "RateLibraryIndex.h"

#include "RateLibraryRowText.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <cmath>
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

constexpr qint64 noWholeHertz = std::numeric_limits<qint64>::min();

// Whole hertz, halves away from zero; rates that have no whole value never match a filter.
qint64 wholeHertz(double rate)
{
    if (!std::isfinite(rate) || std::fabs(rate) >= 9.0e18)
        return noWholeHertz;
    return qint64(std::llround(rate));
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

struct RateLibraryIndex::Prepared {
    std::vector<std::uint8_t> tier;
    std::vector<std::uint8_t> flags;
    std::vector<qint64> wholeRate;
    // Each row's title, artist and album, lower-cased, one after another with a U+0000 after
    // each; `fieldStart` holds three starts per row and one past the end.
    QString text;
    std::vector<qsizetype> fieldStart;

    mutable std::array<std::unique_ptr<Orders>, 6> orders;
    mutable QHash<QString, QList<double>> rateChoices;
    mutable std::unique_ptr<QList<double>> allRateChoices;
    mutable std::unique_ptr<QStringList> keyedIds;
    mutable QHash<QString, int> rowOfKeyedId;
};

RateLibraryIndex::RateLibraryIndex(SwitcherProtocol::LearnedRates rates)
    : m_rates(std::move(rates)), m_prepared(std::make_shared<Prepared>())
{
    Prepared &p = *m_prepared;
    const int n = size();
    p.tier.resize(n);
    p.flags.resize(n);
    p.wholeRate.resize(n);
    p.fieldStart.resize(std::size_t(n) * 3 + 1);
    qsizetype length = 0;
    for (const Row &row : m_rates.rows)
        length += row.title.value_or(QString()).size() + row.artist.value_or(QString()).size() +
                  row.album.value_or(QString()).size() + 3;
    p.text.reserve(length);
    const QChar separator(u'\0');
    for (int i = 0; i < n; ++i) {
        const Row &row = m_rates.rows.at(i);
        p.tier[i] = tierCode(row.tier);
        p.flags[i] = (row.pinned ? pinnedFlag : 0) | (row.source == u"file" ? fileSourceFlag : 0);
        p.wholeRate[i] = wholeHertz(row.rate);
        const std::optional<QString> *fields[3] = {&row.title, &row.artist, &row.album};
        for (int k = 0; k < 3; ++k) {
            p.fieldStart[std::size_t(i) * 3 + k] = p.text.size();
            if (*fields[k])
                p.text += (*fields[k])->toLower();
            p.text += separator;
        }
    }
    p.fieldStart[std::size_t(n) * 3] = p.text.size();
}

RateLibraryIndex::RateLibraryIndex(SwitcherProtocol::LearnedRates rates, std::shared_ptr<Prepared> prepared)
    : m_rates(std::move(rates)), m_prepared(std::move(prepared))
{
}

bool RateLibraryIndex::isFor(const SwitcherProtocol::LearnedRates &rates) const
{
    return m_rates.rows.isSharedWith(rates.rows) && m_rates.outputs == rates.outputs &&
           m_rates.nowPlayingID == rates.nowPlayingID && m_rates.notice == rates.notice;
}

std::shared_ptr<const RateLibraryIndex> RateLibraryIndex::forLibrary(const SwitcherProtocol::LearnedRates &rates,
                                                                     const std::shared_ptr<const RateLibraryIndex> &previous)
{
    if (previous && previous->isFor(rates))
        return previous;
    if (previous && previous->m_rates.rows.isSharedWith(rates.rows) && !rates.rows.isEmpty())
        return std::shared_ptr<const RateLibraryIndex>(new RateLibraryIndex(rates, previous->m_prepared));
    return std::make_shared<const RateLibraryIndex>(rates);
}

void RateLibraryIndex::markSearchHits(const QString &needle, std::vector<std::uint8_t> &hits) const
{
    const Prepared &p = *m_prepared;
    const int n = size();
    hits.assign(std::size_t(n), 0);
    if (needle.isEmpty() || n == 0)
        return;
    const QStringView haystack(p.text);
    const qsizetype needleSize = needle.size();
    qsizetype from = 0;
    int row = 0;
    while (from < haystack.size()) {
        const qsizetype hit = haystack.indexOf(needle, from);
        if (hit < 0)
            break;
        // The row holding the hit: the last row whose title starts at or before it.
        int lo = row, hi = n - 1;
        while (lo < hi) {
            const int mid = lo + (hi - lo + 1) / 2;
            if (p.fieldStart[std::size_t(mid) * 3] <= hit)
                lo = mid;
            else
                hi = mid - 1;
        }
        row = lo;
        const std::size_t base = std::size_t(row) * 3;
        int field = 0;
        while (field < 2 && p.fieldStart[base + field + 1] <= hit)
            ++field;
        const qsizetype fieldEnd = p.fieldStart[base + field + 1] - 1; // the separator
        if (hit + needleSize <= fieldEnd) {
            hits[std::size_t(row)] = 1;
            from = p.fieldStart[base + 3]; // the next row
        } else {
            from = hit + 1; // ran across a field's end: no match there
        }
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

template <class Less>
void sortStable(std::vector<int> &order, Less less)
{
    std::stable_sort(order.begin(), order.end(), less);
}

} // namespace

void RateLibraryIndex::buildOrder(SortKey key) const
{
    const int n = size();
    auto orders = std::make_unique<Orders>();
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
        finish([&](int a, int b) { return compareCodePoints(keys[std::size_t(a)], keys[std::size_t(b)]) < 0; });
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
        while (begin > 0 && rank[std::size_t(asc[std::size_t(begin) - 1])] == rank[std::size_t(asc[std::size_t(end) - 1])])
            --begin;
        desc.insert(desc.end(), asc.begin() + begin, asc.begin() + end);
        end = begin;
    }
    m_prepared->orders[std::size_t(key)] = std::move(orders);
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
