#pragma once

#include "PlaybackHistory.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// Each play's title and artist lower-cased once and kept while the play's texts stay the same, so
// that a keystroke lowers nothing: a title may run to millions of characters.
class PlaybackHistorySearchText final {
public:
    using Entry = PlaybackHistory::Entry;
    // A lower-cased query, and its bytes when it is ASCII.
    struct Query {
        explicit Query(const QString &lowered);
        QString text;
        std::optional<QByteArray> ascii;
    };
    // Whether the play's title, then its artist, lower-cased, contains `query`.
    bool matches(const Entry &entry, const Query &query);
    // Lets go of the plays `history` no longer holds.
    void keepOnly(const QList<Entry> &history);

    // A text lower-cased: as bytes when it is ASCII (half the memory and the work), else whole.
    struct Lowered {
        explicit Lowered(const QString &text = {});
        bool contains(const Query &query) const;
        QByteArray ascii;
        QString other;
        bool isAscii = true;
    };

private:
    struct Play {
        QString title; // as the play has them
        QString artist;
        Lowered loweredTitle;
        Lowered loweredArtist;
        bool lowered = false;
    };
    QHash<QUuid, Play> m_plays;
};

// The Playback History window's own state and everything derived from it. Plain values, so the
// rules can be checked without a window; the widget only shows what these functions answer.
struct PlaybackHistoryWindowView {
    using Entry = PlaybackHistory::Entry;

    enum class Filter { all, differed, estimates, pins, none };
    // The segments, in order.
    static const QList<Filter> allFilters;
    static QString rawValue(Filter filter);
    // Exactly the five raw values; anything else gives none.
    static std::optional<Filter> filterFromRawValue(const QString &raw);
    static QString label(Filter filter);

    enum class Content { noPlays, nothingMatches, table };

    Filter filter = Filter::all;
    QString search;
    bool confirmClear = false;
    QSet<QUuid> selection;

    // The table's rows, newest first, from the model's history (oldest first).
    QList<Entry> visibleEntries(const QList<Entry> &history) const;
    // The same, the search reading texts lowered before.
    QList<Entry> visibleEntries(const QList<Entry> &history, PlaybackHistorySearchText &lowered) const;

    // The search text trimmed of spaces and tabs (not line breaks) and lower-cased.
    static QString query(const QString &search);
    // Title, then artist; nothing else is searched. `query` is already lower-cased.
    static bool matchesSearch(const Entry &entry, const QString &query);
    static bool keeps(Filter filter, const Entry &entry);
    // A play whose rate was not the predicted one, or that Mid-Track Correction relocked.
    static bool differedOrCorrected(const Entry &entry);
    // The last non-empty "/" piece of the source is exactly "pinned".
    static bool isPinned(const Entry &entry);

    static Content content(const QList<Entry> &history, qsizetype visibleCount);
    // "12 of 40 plays · 3 differed from the prediction · 20 remembered by the Rate Library";
    // the last two counts always cover every play.
    static QString summaryText(const QList<Entry> &history, qsizetype visibleCount);
    // Clearing and exporting work on the store, so only an empty store disables them.
    static bool buttonsEnabled(const QList<Entry> &history) { return !history.isEmpty(); }
};
