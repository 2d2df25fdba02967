#pragma once

// The Rate Library window's own state and the values derived from it. Everything here is a plain
// function of the model's published values and the view state, so tests call it without a window.

#include "OutputChoices.h"
#include "OutputDevice.h"
#include "SwitcherProtocol.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class RateLibraryIndex;
class SwitcherModel;

namespace RateLibrary {

using Row = SwitcherProtocol::LearnedRates::Row;

// What the table shows per row: one row of the Rate Library. One track known under two settings
// gives two rows whose ids differ after the "|".
struct Keyed {
    const Row *row = nullptr;
    QString id() const { return keyedId(*row); }
    static QString keyedId(const Row &row) { return row.id + QLatin1Char('|') + row.tier; }
};

enum class KindFilter { all, pinned, learned, files };
QList<KindFilter> allKindFilters();
QString rawValue(KindFilter kind);
std::optional<KindFilter> kindFilterFromRaw(const QString &raw);
QString label(KindFilter kind);

// Which Music.app setting's rows to show: the current one, one named tier word, or all.
struct TierFilter {
    enum class Case { current, tier, all };
    Case kind = Case::current;
    QString word; // only for `tier`

    static TierFilter current() { return {Case::current, {}}; }
    static TierFilter tier(QString word) { return {Case::tier, std::move(word)}; }
    static TierFilter all() { return {Case::all, {}}; }
    bool operator==(const TierFilter &other) const
    {
        return kind == other.kind && (kind != Case::tier || word == other.word);
    }
};

// The table's sortable columns, each naming its sort key.
enum class SortKey { track, album, setting, rate, source, confirmed };
struct SortComparator {
    SortKey key = SortKey::confirmed;
    bool reverse = false;
    bool operator==(const SortComparator &) const = default;
};
using SortOrder = QList<SortComparator>;

// Whether the explainer's recent plays are expanded, kept in the user's settings.
inline constexpr char historyExpandedKey[] = "rateLibrary.historyExpanded";
bool storedHistoryExpanded();

// The window's stored state with its initial values. Only `historyExpanded` outlives the window.
struct LearnedRatesWindowView {
    SwitcherModel *model = nullptr;
    std::optional<QString> deviceUID;
    QString search;
    SortOrder sortOrder = SortOrder(1, SortComparator{SortKey::confirmed, true});
    QSet<QString> selection;
    bool confirmForgetAll = false;
    bool confirmReset = false;
    bool confirmRemovePins = false;
    KindFilter kindFilter = KindFilter::all;
    TierFilter tierFilter = TierFilter::current();
    double rateFilter = 0;
    std::function<void(const QString &)> openWindow;
    bool historyExpanded = false; // read from the settings when the window is made
    std::optional<QUuid> hoveredRowID;
    bool showAtmosInfo = false;
};

// What the derived values read of the model. `library` is none while no Rate Library arrived.
struct LibraryInputs {
    std::shared_ptr<const RateLibraryIndex> library;
    std::optional<SwitcherProtocol::MusicQuality> musicQuality;
    std::optional<OutputDevice> device;

    const SwitcherProtocol::LearnedRates *rates() const;
};

// Reads the model around an already prepared Rate Library (defined with the window, so the plain
// functions here link without a model).
LibraryInputs libraryInputs(const SwitcherModel &model, std::shared_ptr<const RateLibraryIndex> library);

// The tier word the tier filter asks for; none lets every row through.
std::optional<QString> wantedTier(const TierFilter &filter,
                                  const std::optional<SwitcherProtocol::MusicQuality> &quality);

// The table's rows: tier, kind, rate and search filters, then sorted by `sortOrder`.
std::vector<Keyed> visibleRows(const LibraryInputs &inputs, const LearnedRatesWindowView &view);
// The same rows as positions in the Rate Library's `rows`.
std::vector<int> visibleRowIndices(const LibraryInputs &inputs, const LearnedRatesWindowView &view);

// The rates the rate menu offers: distinct, ascending, narrowed by the tier filter only.
QList<double> rateChoices(const LibraryInputs &inputs, const LearnedRatesWindowView &view);

struct RateMenuItem {
    QString title;
    double value = 0;
    bool operator==(const RateMenuItem &) const = default;
};
RateMenuItem rateMenuItem(double rate);
// The first item, "Any rate", with the value 0.
RateMenuItem anyRateMenuItem();
QList<RateMenuItem> rateMenuItems(const LibraryInputs &inputs, const LearnedRatesWindowView &view);

// The outputs the explainer offers as (uid, readable name), attached device first.
OutputChoices outputChoices(const LibraryInputs &inputs);
QString outputName(const QString &uid, const std::optional<OutputDevice> &device);
std::optional<QString> chosenOutputUID(const LibraryInputs &inputs, const LearnedRatesWindowView &view);
std::optional<Output> chosenOutput(const LibraryInputs &inputs, const LearnedRatesWindowView &view);

// Which of the window's middle regions shows.
enum class MiddleRegion { needsCompanion, loading, table, noMatches, empty };
MiddleRegion middleRegion(bool companionConnected, const LibraryInputs &inputs,
                          const LearnedRatesWindowView &view, std::size_t visibleCount);

// Trims spaces and tabs (not line breaks) from both ends.
QString trimmedSpacesAndTabs(const QString &text);

} // namespace RateLibrary
