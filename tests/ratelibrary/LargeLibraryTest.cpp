// A Rate Library too large to prepare on the main thread is prepared on a worker: the window
// keeps what it shows until the new one is ready, and never adopts one that was overtaken.

#include "RateLibrary/RateLibraryIndex.h"
#include "WindowTestSupport.h"

#include <QThreadPool>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;

namespace {

SwitcherProtocol::LearnedRates largeLibrary(const QString &title)
{
    SwitcherProtocol::LearnedRates library;
    for (int i = 0; i < LearnedRatesWindow::backgroundPreparationRows; ++i) {
        SwitcherProtocol::LearnedRates::Row row;
        row.id = QString::number(i);
        row.kind = QStringLiteral("library");
        row.tier = QStringLiteral("any");
        row.title = title;
        row.rate = 44100;
        row.source = QStringLiteral("learned");
        row.confirmedAt = QDateTime::fromSecsSinceEpoch(1700000000 + i, Qt::UTC);
        library.rows.append(row);
    }
    return library;
}

// Every preparation has finished and its result has reached the window.
void settle()
{
    QThreadPool::globalInstance()->waitForDone(10000);
    QCoreApplication::processEvents();
}

const SwitcherProtocol::LearnedRates *shownLibrary(const LearnedRatesWindow &window)
{
    return window.inputs().library ? &window.inputs().library->rates() : nullptr;
}

} // namespace

TEST(LargeLibrary, preparedOffTheMainThreadAndNeverOvertaken)
{
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    LearnedRatesWindow window(*h.model);
    window.show();

    // The first one: "Loading…" until it is ready, then the table.
    const auto first = largeLibrary(QStringLiteral("First"));
    h.model->setLearnedRates(first);
    EXPECT_EQ(window.shownRegion(), MiddleRegion::loading);
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::table; }));
    EXPECT_TRUE(shownLibrary(window)->rows.isSharedWith(first.rows));

    // A second one overtaken by a third before it is ready: the first stays on show, and only
    // the third is ever adopted.
    const auto second = largeLibrary(QStringLiteral("Second"));
    const auto third = largeLibrary(QStringLiteral("Third"));
    h.model->setLearnedRates(second);
    EXPECT_TRUE(shownLibrary(window)->rows.isSharedWith(first.rows));
    h.model->setLearnedRates(third);
    ASSERT_TRUE(eventually([&] { return shownLibrary(window)->rows.isSharedWith(third.rows); }));
    settle(); // the second's preparation, had it finished late, must not replace the third
    EXPECT_TRUE(shownLibrary(window)->rows.isSharedWith(third.rows));
    EXPECT_EQ(window.tableModel()->rowCount(), LearnedRatesWindow::backgroundPreparationRows);

    // Cleared while one is being prepared: "Loading…", and the late result is dropped.
    h.model->setLearnedRates(largeLibrary(QStringLiteral("Fourth")));
    h.model->setLearnedRates(std::nullopt);
    EXPECT_EQ(window.shownRegion(), MiddleRegion::loading);
    settle();
    EXPECT_EQ(window.shownRegion(), MiddleRegion::loading);
}
