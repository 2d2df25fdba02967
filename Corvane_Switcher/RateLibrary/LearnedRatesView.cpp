#include "LearnedRatesView.h"

#include "RateLibraryIndex.h"
#include "RateLibraryRowText.h"
#include "RateLibraryTr.h"

#include <QSettings>

#include <algorithm>

namespace RateLibrary {

using RateLibraryText::Tr;
using Tier = SwitcherProtocol::LearnedRates::Tier;

QList<KindFilter> allKindFilters()
{
    return {KindFilter::all, KindFilter::pinned, KindFilter::learned, KindFilter::files};
}

QString rawValue(KindFilter kind)
{
    switch (kind) {
    case KindFilter::all:
        return QStringLiteral("all");
    case KindFilter::pinned:
        return QStringLiteral("pinned");
    case KindFilter::learned:
        return QStringLiteral("learned");
    case KindFilter::files:
        return QStringLiteral("files");
    }
    return {};
}

std::optional<KindFilter> kindFilterFromRaw(const QString &raw)
{
    for (KindFilter kind : allKindFilters()) {
        if (rawValue(kind) == raw)
            return kind;
    }
    return std::nullopt;
}

QString label(KindFilter kind)
{
    switch (kind) {
    case KindFilter::all:
        return Tr::tr("All");
    case KindFilter::pinned:
        return Tr::tr("Pinned");
    case KindFilter::learned:
        return Tr::tr("Learned");
    case KindFilter::files:
        return Tr::tr("Local files");
    }
    return {};
}

bool storedHistoryExpanded()
{
    return QSettings().value(QLatin1String(historyExpandedKey), false).toBool();
}

const SwitcherProtocol::LearnedRates *LibraryInputs::rates() const
{
    return library ? &library->rates() : nullptr;
}

std::optional<QString> wantedTier(const TierFilter &filter,
                                  const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    switch (filter.kind) {
    case TierFilter::Case::all:
        return std::nullopt;
    case TierFilter::Case::tier:
        return filter.word;
    case TierFilter::Case::current: {
        const QString word = Tier::forQuality(quality);
        if (word == Tier::unknown)
            return std::nullopt;
        return word;
    }
    }
    return std::nullopt;
}

QString trimmedSpacesAndTabs(const QString &text)
{
    auto blank = [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

std::vector<int> visibleRowIndices(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    if (!inputs.library)
        return {};
    const RateLibraryIndex &library = *inputs.library;
    const QString needle = trimmedSpacesAndTabs(view.search).toLower();
    const std::vector<std::uint8_t> pass = library.passing(wantedTier(view.tierFilter, inputs.musicQuality),
                                                           view.kindFilter, view.rateFilter, needle);

    std::vector<int> rows;
    rows.reserve(std::size_t(library.size()));
    if (view.sortOrder.size() == 1) {
        // One comparator (what a header click leaves): walk the prepared order.
        for (int i : library.order(view.sortOrder.first().key, view.sortOrder.first().reverse)) {
            if (pass[std::size_t(i)])
                rows.push_back(i);
        }
        return rows;
    }
    for (int i = 0; i < library.size(); ++i) {
        if (pass[std::size_t(i)])
            rows.push_back(i);
    }
    if (view.sortOrder.isEmpty())
        return rows;
    std::vector<const std::vector<int> *> ranks;
    for (const SortComparator &comparator : view.sortOrder)
        ranks.push_back(&library.ranks(comparator.key));
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        for (std::size_t k = 0; k < ranks.size(); ++k) {
            const int ra = (*ranks[k])[std::size_t(a)];
            const int rb = (*ranks[k])[std::size_t(b)];
            if (ra != rb)
                return view.sortOrder[qsizetype(k)].reverse ? ra > rb : ra < rb;
        }
        return false;
    });
    return rows;
}

std::vector<Keyed> visibleRows(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    const std::vector<int> indices = visibleRowIndices(inputs, view);
    std::vector<Keyed> rows;
    rows.reserve(indices.size());
    for (int i : indices)
        rows.push_back(Keyed{&inputs.library->row(i)});
    return rows;
}

QList<double> rateChoices(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    if (!inputs.library)
        return {};
    return inputs.library->rateChoices(wantedTier(view.tierFilter, inputs.musicQuality));
}

RateMenuItem rateMenuItem(double rate)
{
    return {rateText(rate), rate};
}

RateMenuItem anyRateMenuItem()
{
    return {Tr::tr("Any rate"), 0};
}

QList<RateMenuItem> rateMenuItems(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    QList<RateMenuItem> items{anyRateMenuItem()};
    for (double rate : rateChoices(inputs, view))
        items.append(rateMenuItem(rate));
    return items;
}

OutputChoices outputChoices(const LibraryInputs &inputs)
{
    return {inputs.library ? inputs.library->outputs() : nullptr, inputs.device};
}

QString outputName(const QString &uid, const std::optional<OutputDevice> &device)
{
    if (device && device->uid && *device->uid == uid && device->name)
        return trimmedSpacesAndTabs(*device->name);
    // Only the first four non-empty ":" parts matter, and only they are read: a uid may be of
    // any length.
    QStringView parts[4];
    int found = 0;
    for (qsizetype at = 0; found < 4 && at < uid.size();) {
        qsizetype end = uid.indexOf(u':', at);
        if (end < 0)
            end = uid.size();
        if (end > at)
            parts[found++] = QStringView(uid).mid(at, end - at);
        at = end + 1;
    }
    if (found == 4 && parts[0].contains(u"USB"))
        return trimmedSpacesAndTabs(parts[2].toString());
    return uid;
}

std::optional<QString> chosenOutputUID(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    if (view.deviceUID)
        return view.deviceUID;
    if (inputs.device && inputs.device->uid)
        return inputs.device->uid;
    const OutputChoices choices = outputChoices(inputs);
    if (!choices.isEmpty())
        return choices.uid(0);
    return std::nullopt;
}

std::optional<Output> chosenOutput(const LibraryInputs &inputs, const LearnedRatesWindowView &view)
{
    const std::optional<QString> uid = chosenOutputUID(inputs, view);
    if (!inputs.library || !uid)
        return std::nullopt;
    if (const Output *record = inputs.library->outputs()->record(*uid))
        return *record;
    return std::nullopt;
}

MiddleRegion middleRegion(bool companionConnected, const LibraryInputs &inputs,
                          const LearnedRatesWindowView &view, std::size_t visibleCount)
{
    if (!companionConnected)
        return MiddleRegion::needsCompanion;
    if (!inputs.library)
        return MiddleRegion::loading;
    if (visibleCount > 0)
        return MiddleRegion::table;
    const bool anyRow = !inputs.library->rates().rows.isEmpty();
    const bool narrowed = !view.search.isEmpty() || view.kindFilter != KindFilter::all ||
                          view.rateFilter != 0 || (view.tierFilter.kind != TierFilter::Case::all && anyRow);
    return narrowed ? MiddleRegion::noMatches : MiddleRegion::empty;
}

} // namespace RateLibrary
