#include "PlaybackHistoryWindowView.h"

#include <QCoreApplication>

#include <algorithm>

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
    PlaybackHistorySearchText lowered;
    return visibleEntries(history, lowered);
}

QList<PlaybackHistoryWindowView::Entry>
PlaybackHistoryWindowView::visibleEntries(const QList<Entry> &history,
                                          PlaybackHistorySearchText &lowered) const
{
    const PlaybackHistorySearchText::Query q(query(search));
    QList<Entry> rows;
    rows.reserve(history.size());
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if (keeps(filter, *it) && (q.text.isEmpty() || lowered.matches(*it, q)))
            rows.append(*it);
    }
    return rows;
}

namespace {

// QString::toLower for a text with a letter outside ASCII: each run of such characters is lowered
// by QString::toLower itself, which looks at no neighbours, so the result is the same.
QString loweredWhole(const QString &text)
{
    QString out(text.size(), Qt::Uninitialized);
    const char16_t *from = reinterpret_cast<const char16_t *>(text.constData());
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length;) {
        if (from[i] < 0x80) {
            to[i] = char16_t(from[i] - u'A') < 26 ? char16_t(from[i] + 32) : from[i];
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < length && from[end] >= 0x80)
            ++end;
        const QString run = QStringView(text).mid(i, end - i).toString().toLower();
        if (run.size() != end - i)
            return text.toLower(); // a letter whose lower case is longer shifts what follows
        std::copy(run.utf16(), run.utf16() + run.size(), to + i);
        i = end;
    }
    return out;
}

} // namespace

PlaybackHistorySearchText::Query::Query(const QString &lowered) : text(lowered)
{
    if (std::all_of(lowered.begin(), lowered.end(), [](QChar c) { return c.unicode() < 0x80; }))
        ascii = lowered.toLatin1();
}

PlaybackHistorySearchText::Lowered::Lowered(const QString &text)
{
    // Most titles are ASCII: lowered straight into bytes, in one tight pass.
    ascii.resize(text.size());
    const char16_t *from = reinterpret_cast<const char16_t *>(text.constData());
    char *to = ascii.data();
    char16_t high = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = from[i];
        to[i] = char(char16_t(c - u'A') < 26 ? c + 32 : c);
        high |= c & 0xff80;
    }
    if (high) {
        ascii.clear();
        isAscii = false;
        other = loweredWhole(text);
    }
}

bool PlaybackHistorySearchText::Lowered::contains(const Query &query) const
{
    if (!isAscii)
        return other.contains(query.text);
    // An ASCII text holds no other character.
    return query.ascii && ascii.contains(*query.ascii);
}

bool PlaybackHistorySearchText::matches(const Entry &entry, const Query &query)
{
    Play &kept = m_plays[entry.id];
    // The same texts are nearly always the same strings: only a changed one is lowered again.
    const auto same = [](const QString &a, const QString &b) { return a.isSharedWith(b) || a == b; };
    if (!kept.lowered || !same(kept.title, entry.title)) {
        kept.title = entry.title;
        kept.loweredTitle = Lowered(entry.title);
    }
    if (!kept.lowered || !same(kept.artist, entry.artist)) {
        kept.artist = entry.artist;
        kept.loweredArtist = Lowered(entry.artist);
    }
    kept.lowered = true;
    return kept.loweredTitle.contains(query) || kept.loweredArtist.contains(query);
}

void PlaybackHistorySearchText::keepOnly(const QList<Entry> &history)
{
    if (m_plays.size() <= history.size())
        return;
    QSet<QUuid> ids;
    ids.reserve(history.size());
    for (const Entry &entry : history)
        ids.insert(entry.id);
    m_plays.removeIf([&](const auto &play) { return !ids.contains(play.key()); });
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
