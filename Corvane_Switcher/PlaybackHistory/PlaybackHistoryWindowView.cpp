#include "PlaybackHistoryWindowView.h"

#include <QCoreApplication>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistoryWindow)
};

// Spaces and tabs only: a line break pasted into the field stays part of the query.
bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}
} // namespace

using Filter = PlaybackHistoryWindowView::Filter;

const QList<Filter> PlaybackHistoryWindowView::allFilters = {Filter::all, Filter::differed, Filter::estimates,
                                                             Filter::pins, Filter::none};

QString PlaybackHistoryWindowView::rawValue(Filter filter)
{
    switch (filter) {
    case Filter::all:
        return QStringLiteral("all");
    case Filter::differed:
        return QStringLiteral("differed");
    case Filter::estimates:
        return QStringLiteral("estimates");
    case Filter::pins:
        return QStringLiteral("pins");
    case Filter::none:
        return QStringLiteral("none");
    }
    return {};
}

std::optional<Filter> PlaybackHistoryWindowView::filterFromRawValue(const QString &raw)
{
    for (Filter filter : allFilters) {
        if (rawValue(filter) == raw)
            return filter;
    }
    return std::nullopt;
}

QString PlaybackHistoryWindowView::label(Filter filter)
{
    switch (filter) {
    case Filter::all:
        //: Playback History filter: every play.
        return Tr::tr("All");
    case Filter::differed:
        //: Playback History filter: plays whose rate was not the predicted one.
        return Tr::tr("Differed");
    case Filter::estimates:
        //: Playback History filter: plays predicted by an estimate.
        return Tr::tr("Estimates");
    case Filter::pins:
        //: Playback History filter: plays of a pinned track.
        return Tr::tr("Pins");
    case Filter::none:
        //: Playback History filter: plays without a predicted rate.
        return Tr::tr("No prediction");
    }
    return {};
}

QString PlaybackHistoryWindowView::query(const QString &search)
{
    qsizetype begin = 0;
    qsizetype end = search.size();
    while (begin < end && isBlank(search.at(begin)))
        ++begin;
    while (end > begin && isBlank(search.at(end - 1)))
        --end;
    return search.mid(begin, end - begin).toLower();
}

bool PlaybackHistoryWindowView::matchesSearch(const Entry &entry, const QString &query)
{
    if (query.isEmpty())
        return true;
    return entry.title.toLower().contains(query) || entry.artist.toLower().contains(query);
}

bool PlaybackHistoryWindowView::differedOrCorrected(const Entry &entry)
{
    return entry.corrected || entry.differed();
}

bool PlaybackHistoryWindowView::isPinned(const Entry &entry)
{
    return PlaybackHistory::sourceEndsIn(entry.source, u"pinned");
}

bool PlaybackHistoryWindowView::keeps(Filter filter, const Entry &entry)
{
    switch (filter) {
    case Filter::all:
        return true;
    case Filter::differed:
        return differedOrCorrected(entry);
    case Filter::estimates:
        return PlaybackHistory::stepNumber(entry.source) == 5;
    case Filter::pins:
        return isPinned(entry);
    case Filter::none:
        return !entry.predictedRate.has_value();
    }
    return false;
}

QList<PlaybackHistoryWindowView::Entry>
PlaybackHistoryWindowView::visibleEntries(const QList<Entry> &history) const
{
    const QString q = query(search);
    QList<Entry> rows;
    rows.reserve(history.size());
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if (keeps(filter, *it) && matchesSearch(*it, q))
            rows.append(*it);
    }
    return rows;
}

PlaybackHistoryWindowView::Content PlaybackHistoryWindowView::content(const QList<Entry> &history,
                                                                      qsizetype visibleCount)
{
    if (history.isEmpty())
        return Content::noPlays;
    return visibleCount == 0 ? Content::nothingMatches : Content::table;
}

QString PlaybackHistoryWindowView::summaryText(const QList<Entry> &history, qsizetype visibleCount)
{
    const qsizetype all = history.size();
    qsizetype differed = 0;
    qsizetype remembered = 0;
    for (const Entry &entry : history) {
        if (differedOrCorrected(entry))
            ++differed;
        if (entry.outcome == u"learned" || entry.outcome == u"rewritten")
            ++remembered;
    }
    QString shown;
    if (visibleCount == all) {
        //: Playback History: how many plays.
        shown = Tr::tr("%n plays", nullptr, int(all));
    } else {
        //: Playback History: plays shown, of all plays.
        shown = Tr::tr("%1 of %n plays", nullptr, int(all)).arg(visibleCount);
    }
    //: Playback History: plays whose rate was not the predicted one.
    const QString differedText = Tr::tr("%n differed from the prediction", nullptr, int(differed));
    //: Playback History: plays the Rate Library learned from.
    const QString rememberedText = Tr::tr("%n remembered by the Rate Library", nullptr, int(remembered));
    return QStringList{shown, differedText, rememberedText}.join(QStringLiteral(" · "));
}
