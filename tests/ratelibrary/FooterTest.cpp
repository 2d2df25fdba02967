// The footer's status line: its rules and its counts. Each count text in both its forms is the
// translations tests'; the scan button and the gear menu, the window's tests' and the journeys';
// the notice row, the screenshot tests'.

#include "RateLibraryFixtures.h"

#include "RateLibrary/FooterTexts.h"

#include <gtest/gtest.h>

using namespace RateLibrary;
using namespace RateLibraryFixtures;

namespace {

using Scan = SwitcherModel::LocalScanState;

Scan done(qint64 scanned, qint64 matched, qint64 unmatched, qint64 updated)
{
    return SwitcherModel::LocalScanDone{{scanned, matched, unmatched, updated}};
}

QString countsLine(const LibraryInputs &in, const LearnedRatesWindowView &view = {})
{
    return statusLine(std::nullopt, SwitcherModel::LocalScanIdle{},
                      libraryCounts(in, visibleRows(in, view).size()));
}

} // namespace

TEST(RateLibraryFooter, StatusLineCountsRowsTracksAndPinsOverTheWholeLibrary)
{
    // 120 rows of 95 tracks (25 heard under two settings), 3 pinned, 40 titled "Blue".
    QList<Row> rows;
    for (int i = 0; i < 120; ++i) {
        Row r = row(QStringLiteral("t%1").arg(i % 95), i < 95 ? "lossless" : "hires", 44100,
                    i < 40 ? QStringLiteral("Blue %1").arg(i) : QStringLiteral("Song"));
        rows.append(i % 50 == 0 ? pinned(r) : r);
    }
    const LibraryInputs all = inputs(rows);
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    view.search = QStringLiteral("blue");
    EXPECT_EQ(countsLine(all, view), "40 of 120 rows · 95 tracks · 3 pinned");
    view.search.clear();
    EXPECT_EQ(countsLine(all, view), "120 rows · 95 tracks · 3 pinned");
    EXPECT_EQ(countsLine(LibraryInputs{}), "0 rows"); // none received yet
}

TEST(RateLibraryFooter, StatusLineTakesTheFirstRuleThatApplies)
{
    const LibraryCounts counts{3, 3, 3, 0};
    const std::optional<QString> none;
    EXPECT_EQ(
        statusLine(QStringLiteral("Exported the backup to a.corvanerates."), done(250, 240, 10, 238), counts),
        "Exported the backup to a.corvanerates.");
    EXPECT_EQ(
        statusLine(none, SwitcherModel::LocalScanFailed{QStringLiteral("Music.app isn't running")}, counts),
        "Local file scan failed — Music.app isn't running");
    EXPECT_EQ(statusLine(none, done(0, 5, 6, 7), counts),
              "No local files in Music.app — every track streams, so there was nothing to scan");
    EXPECT_EQ(statusLine(none, done(5, 4, 0, 3), counts),
              "Scanned 5 local files: 4 matched Corvane's library, 3 rates stored");
    EXPECT_EQ(statusLine(none, SwitcherModel::LocalScanScanning{}, counts),
              "Reading local files from Music…");
    EXPECT_EQ(statusLine(none, SwitcherModel::LocalScanIdle{}, counts), "3 rows");
}
