#pragma once

// Every text of the three windows and the import that holds a count, each made by the function
// that makes it for a user, with that one count set to n (the others fixed at 0, 5 or 7).

#include "CompanionAnswers.h"
#include "PlaybackHistory/PlaybackHistoryWindowView.h"
#include "RateLibrary/Explainer/ExplainerTexts.h"
#include "RateLibrary/FooterTexts.h"
#include "RateLibrary/ImportPreviewTexts.h"
#include "SwitcherModel.h"

#include <functional>

namespace CountTexts {

struct CountText {
    const char *name;
    std::function<QString(int)> text;
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

inline QString summary(int at, int n)
{
    std::array<qint64, 6> counts = {};
    counts[size_t(at)] = n;
    return SwitcherModel::importSummaryText(importAnswer(QStringLiteral("apply"), true, counts));
}

// `count` plays, the first `differed` of them differed and the first `remembered` remembered.
inline QString plays(int count, qsizetype shown, int differed = 0, int remembered = 0)
{
    QList<PlaybackHistory::Entry> entries(count);
    for (int i = 0; i < count; ++i) {
        entries[i].corrected = i < differed;
        if (i < remembered)
            entries[i].outcome = QStringLiteral("learned");
    }
    return PlaybackHistoryWindowView::summaryText(entries, shown);
}

inline const QList<CountText> &all()
{
    static const QList<CountText> texts = {
        {"rows", [](int n) { return footer(n, n, n, 0); }},
        {"rows shown", [](int n) { return footer(7, n, n, 0); }},
        {"tracks", [](int n) { return footer(5, 5, n, 0); }},
        {"pinned", [](int n) { return footer(5, 5, 5, n); }},
        {"files scanned", [](int n) { return scan(n, 0, 0, 0); }},
        {"files matched", [](int n) { return scan(5, n, 0, 0); }},
        {"rates stored", [](int n) { return scan(5, 0, 0, n); }},
        {"files not in the library", [](int n) { return scan(5, 0, n, 0); }},
        {"new", [](int n) { return summary(0, n); }},
        {"updated", [](int n) { return summary(1, n); }},
        {"already known", [](int n) { return summary(2, n); }},
        {"skipped", [](int n) { return summary(3, n); }},
        {"outputs added", [](int n) { return summary(4, n); }},
        {"outputs updated", [](int n) { return summary(5, n); }},
        {"tracks in the file",
         [](int n) {
             SwitcherProtocol::RateLibraryImported result;
             result.fileTracks = n;
             return RateLibrary::containsText(result);
         }},
        {"recent plays", [](int n) { return RateLibrary::recentPlaysFooter(n); }},
        {"plays", [](int n) { return plays(n, n); }},
        {"plays shown", [](int n) { return plays(n, 7); }},
        {"plays differed", [](int n) { return plays(n + 5, n + 5, n); }},
        {"plays remembered", [](int n) { return plays(n + 5, n + 5, 0, n); }},
    };
    return texts;
}

// The counts every text is read with: none, one, two and a large library's.
inline constexpr int counts[] = {0, 1, 2, 100000};

} // namespace CountTexts
