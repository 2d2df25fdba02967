#pragma once

// What depends only on one Rate Library, prepared once when it arrives so that a keystroke in the
// search field walks compact arrays instead of the rows: lower-cased search text in one buffer,
// small codes for tier and kind, whole-hertz rates, and the sort orders of every column.

#include "LearnedRatesView.h"
#include "OutputChoices.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class RateLibraryIndex final {
public:
    // With `earlier`, the index of a library read before, what depends only on texts this
    // library shares with it is copied, or shared, instead of worked out again, and so is the
    // first order when no row moved and no sort key changed. `firstOrder`, the sort the window
    // shows first, is made at once (alongside the rest when it can be). `earlier` may be on show
    // on another thread meanwhile: only what never changes once made is read from it.
    explicit RateLibraryIndex(SwitcherProtocol::LearnedRates rates, const RateLibraryIndex *earlier = nullptr,
                              std::optional<RateLibrary::SortKey> firstOrder = std::nullopt);

    const SwitcherProtocol::LearnedRates &rates() const { return m_rates; }
    int size() const { return int(m_rates.rows.size()); }
    const RateLibrary::Row &row(int i) const { return m_rates.rows.at(i); }

    // True when this index was made for exactly this Rate Library (the same row data).
    bool isFor(const SwitcherProtocol::LearnedRates &rates) const;
    // `previous` when it was made for this Rate Library; its prepared rows under the new
    // header when only outputs, now playing or notice differ; else a new index.
    static std::shared_ptr<const RateLibraryIndex>
    forLibrary(const SwitcherProtocol::LearnedRates &rates,
               const std::shared_ptr<const RateLibraryIndex> &previous);

    // Rows passing tier, kind, rate and search, one byte per row (1 = passes).
    std::vector<std::uint8_t> passing(const std::optional<QString> &wantedTier, RateLibrary::KindFilter kind,
                                      double rateFilter, const QString &needle) const;
    // Rows in the order of one comparator, stable: ties keep the companion's order.
    const std::vector<int> &order(RateLibrary::SortKey key, bool reverse) const;
    // Equal keys share a rank; a lower rank sorts first in ascending order.
    const std::vector<int> &ranks(RateLibrary::SortKey key) const;
    // Distinct exact rates, ascending, of the rows the tier filter lets through.
    const QList<double> &rateChoices(const std::optional<QString> &wantedTier) const;
    const QString &keyedId(int i) const;
    // The first row whose Keyed id is `id`; -1 when there is none.
    int rowForKeyedId(const QString &id) const;

    // The companion's outputs, each uid once, for the explainer's choices.
    const std::shared_ptr<const RateLibrary::LibraryOutputs> &outputs() const { return m_outputs; }

    // Distinct track ids among all rows, and rows pinned (the footer's counts).
    int trackCount() const;
    int pinnedCount() const;

    // Rows whose title, artist or album, lower-cased, contains `needle` (already lower-cased).
    void markSearchHits(const QString &needle, std::vector<std::uint8_t> &hits) const;

private:
    struct Prepared;
    struct Orders;
    struct SearchText;
    RateLibraryIndex(SwitcherProtocol::LearnedRates rates, std::shared_ptr<Prepared> prepared,
                     std::shared_ptr<const RateLibrary::LibraryOutputs> outputs);
    // `earlier`'s outputs when it was made for the same list, else the list's own.
    static std::shared_ptr<const RateLibrary::LibraryOutputs>
    outputsFor(const QList<RateLibrary::Output> &outputs, const RateLibraryIndex *earlier);
    void buildOrder(RateLibrary::SortKey key) const;
    std::shared_ptr<const Orders> makeOrders(RateLibrary::SortKey key) const;
    std::shared_ptr<const SearchText> makeSearchText(const RateLibraryIndex *earlier) const;

    SwitcherProtocol::LearnedRates m_rates;
    std::shared_ptr<Prepared> m_prepared;
    std::shared_ptr<const RateLibrary::LibraryOutputs> m_outputs;
};
