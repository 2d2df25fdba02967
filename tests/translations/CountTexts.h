#pragma once

// Every text of the three windows and the import that holds a count, each shown through the
// function that makes it, with its English singular and plural.

#include "CompanionAnswers.h"
#include "PlaybackHistory/PlaybackHistoryWindowView.h"
#include "RateLibrary/Explainer/ExplainerTexts.h"
#include "RateLibrary/FooterTexts.h"
#include "RateLibrary/ImportPreviewTexts.h"
#include "SwitcherModel.h"

#include <functional>
#include <optional>

namespace CountTexts {

struct CountText {
    const char *name;
    std::function<QString(int)> text; // the whole text a user reads, for the count n
    QString one;                      // for n = 1
    QString many;                     // for any other n, which fills %1
    std::optional<QString> zero = {}; // where a count of 0 is left out or said otherwise
};

inline QString footer(qint64 shown, qint64 total, qint64 tracks, qint64 pinned)
{
    return RateLibrary::statusLine(std::nullopt, SwitcherModel::LocalScanIdle{},
                                   {shown, total, tracks, pinned});
}

inline QString scan(qint64 scanned, qint64 matched, qint64 unmatched, qint64 updated)
{
    return RateLibrary::statusLine(std::nullopt,
                                   SwitcherModel::LocalScanDone{{scanned, matched, unmatched, updated}}, {});
}

inline QString summary(std::array<qint64, 6> n)
{
    return SwitcherModel::importSummaryText(importAnswer(QStringLiteral("apply"), true, n));
}

// `count` plays, each one differed (`differed`) and remembered (`remembered`) or not.
inline QString plays(int count, qsizetype shown, bool differed, bool remembered)
{
    PlaybackHistory::Entry entry;
    entry.corrected = differed;
    if (remembered)
        entry.outcome = QStringLiteral("learned");
    return PlaybackHistoryWindowView::summaryText(QList<PlaybackHistory::Entry>(count, entry), shown);
}

inline const QList<CountText> &all()
{
    static const QString known = QStringLiteral("0 new, 0 updated, 0 already known");
    static const QList<CountText> texts = {
        {"rows", [](int n) { return footer(n, n, n, 0); }, "1 row", "%1 rows"},
        {"rows shown", [](int n) { return footer(7, n, n, 0); }, "7 of 1 row", "7 of %1 rows"},
        {"tracks", [](int n) { return footer(5, 5, n, 0); }, "5 rows · 1 track", "5 rows · %1 tracks"},
        {"pinned", [](int n) { return footer(5, 5, 5, n); }, "5 rows · 1 pinned", "5 rows · %1 pinned",
         "5 rows"},
        {"files scanned", [](int n) { return scan(n, 0, 0, 0); },
         "Scanned 1 local file: 0 matched Corvane's library, 0 rates stored",
         "Scanned %1 local files: 0 matched Corvane's library, 0 rates stored",
         "No local files in Music.app — every track streams, so there was nothing to scan"},
        {"files matched", [](int n) { return scan(5, n, 0, 0); },
         "Scanned 5 local files: 1 matched Corvane's library, 0 rates stored",
         "Scanned 5 local files: %1 matched Corvane's library, 0 rates stored"},
        {"rates stored", [](int n) { return scan(5, 0, 0, n); },
         "Scanned 5 local files: 0 matched Corvane's library, 1 rate stored",
         "Scanned 5 local files: 0 matched Corvane's library, %1 rates stored"},
        {"files not in the library", [](int n) { return scan(5, 0, n, 0); },
         "Scanned 5 local files: 0 matched Corvane's library, 0 rates stored, 1 not in the library",
         "Scanned 5 local files: 0 matched Corvane's library, 0 rates stored, %1 not in the library",
         "Scanned 5 local files: 0 matched Corvane's library, 0 rates stored"},
        {"new",
         [](int n) {
             return summary({n, 0, 0, 0, 0, 0});
         },
         "1 new, 0 updated, 0 already known", "%1 new, 0 updated, 0 already known"},
        {"updated",
         [](int n) {
             return summary({0, n, 0, 0, 0, 0});
         },
         "0 new, 1 updated, 0 already known", "0 new, %1 updated, 0 already known"},
        {"already known",
         [](int n) {
             return summary({0, 0, n, 0, 0, 0});
         },
         "0 new, 0 updated, 1 already known", "0 new, 0 updated, %1 already known"},
        {"skipped",
         [](int n) {
             return summary({0, 0, 0, n, 0, 0});
         },
         known + ", 1 skipped", known + ", %1 skipped", known},
        {"outputs added",
         [](int n) {
             return summary({0, 0, 0, 0, n, 0});
         },
         known + " · 1 output added", known + " · %1 outputs added", known},
        {"outputs updated",
         [](int n) {
             return summary({0, 0, 0, 0, 0, n});
         },
         known + " · 1 updated", known + " · %1 updated", known},
        {"tracks in the file",
         [](int n) {
             SwitcherProtocol::RateLibraryImported result;
             result.fileTracks = n;
             return RateLibrary::containsText(result);
         },
         "1 track", "%1 tracks"},
        {"recent plays", [](int n) { return RateLibrary::recentPlaysFooter(n); },
         "Last 1 play. Hover a row to light its step above.",
         "Last %1 plays. Hover a row to light its step above."},
        {"plays", [](int n) { return plays(n, n, false, false); },
         "1 play · 0 differed from the prediction · 0 remembered by the Rate Library",
         "%1 plays · 0 differed from the prediction · 0 remembered by the Rate Library"},
        {"plays shown", [](int n) { return plays(n, 7, false, false); },
         "7 of 1 play · 0 differed from the prediction · 0 remembered by the Rate Library",
         "7 of %1 plays · 0 differed from the prediction · 0 remembered by the Rate Library"},
        {"plays differed", [](int n) { return plays(n, n, true, false); },
         "1 play · 1 differed from the prediction · 0 remembered by the Rate Library",
         "%1 plays · %1 differed from the prediction · 0 remembered by the Rate Library"},
        {"plays remembered", [](int n) { return plays(n, n, false, true); },
         "1 play · 0 differed from the prediction · 1 remembered by the Rate Library",
         "%1 plays · 0 differed from the prediction · %1 remembered by the Rate Library"},
    };
    return texts;
}

// The counts every text is read with: none, one, two and a large library's.
inline constexpr int counts[] = {0, 1, 2, 100000};

} // namespace CountTexts
