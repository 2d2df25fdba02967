// Plays whose title, artist, note or source run to millions of characters, as a history file may
// hold them: the window shows a line of each (its cells and its hover help), and its filters and
// search still read the whole text.

#include "HistoryFixtures.h"
#include "HistoryWindowSupport.h"
#include "HugeText.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"

#include "Bundle.h"
#include "Common/ShownText.h"

#include <QCoreApplication>
#include <QDir>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>

#include <random>

#include <gtest/gtest.h>

using namespace HistoryFixtures;
using Filter = PlaybackHistoryWindowView::Filter;
using ShownText::lineLength;

namespace {

constexpr qsizetype hugeLength = 3'000'000;

QString hugeText(const QString &first, const QString &last = {})
{
    return hugeTextOf(QStringLiteral("Blue Moon Café Müller \U0001F3B5 Night Song "), first, hugeLength,
                      last);
}

// A start of `text` followed by "…", no longer than a line shows.
bool isBoundedStartOf(const QString &shown, const QString &text)
{
    return shown.size() <= lineLength + 1 && shown.endsWith(QChar(0x2026)) &&
           text.startsWith(shown.chopped(1)) && !shown.chopped(1).back().isHighSurrogate();
}

} // namespace

TEST(HistoryHugeTexts, aLineOfEachShowsAndTheFiltersAndSearchReadTheWholeText)
{
    ModelHarness harness;
    // A pin's play whose source names its step after a million parts, and a play that was not
    // predicted, with its reason.
    Entry pinned = play(hugeText(QStringLiteral("Title"), QStringLiteral(" Zyzzyva")),
                        hugeText(QStringLiteral("Artist")), 44100,
                        QStringLiteral("a/").repeated(1'000'000) + QStringLiteral("pinned//"), 44100);
    Entry unpredicted =
        play(QStringLiteral("Plain"), QStringLiteral("Someone"), std::nullopt, std::nullopt, 48000);
    unpredicted.note = hugeText(QStringLiteral("Reason"));
    const std::unique_ptr<PlaybackHistoryWindow> shown = showHistoryWindow(harness, {pinned, unpredicted});
    PlaybackHistoryWindow &window = *shown;
    PlaybackHistoryTableModel &rows = *window.tableModel();
    ASSERT_EQ(rows.rowCount(), 2);
    const int pinnedRow = rows.entries().at(0).note ? 1 : 0;
    const int reasonRow = 1 - pinnedRow;

    // The track cell's title, as its drawing gets it.
    const QModelIndex track = rows.index(pinnedRow, PlaybackHistoryTableModel::track);
    auto *trackCell = qobject_cast<QStyledItemDelegate *>(window.table()->itemDelegateForIndex(track));
    ASSERT_NE(trackCell, nullptr);
    EXPECT_TRUE(isBoundedStartOf(trackCell->displayText(track.data(), QLocale()), pinned.title));
    // The reason in the From column, and as its hover help.
    const QModelIndex from = rows.index(reasonRow, PlaybackHistoryTableModel::from);
    auto *fromCell = qobject_cast<QStyledItemDelegate *>(window.table()->itemDelegateForIndex(from));
    ASSERT_NE(fromCell, nullptr);
    EXPECT_TRUE(isBoundedStartOf(fromCell->displayText(from.data(), QLocale()), *unpredicted.note));
    QWidget *viewport = window.table()->viewport();
    const QPoint at = window.table()->visualRect(from).center();
    QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &help);
    EXPECT_TRUE(isBoundedStartOf(QToolTip::text(), *unpredicted.note));
    QToolTip::hideText();

    // The filters read the source's last part; the search reads the whole title.
    window.setFilter(Filter::pins);
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.entries().first().id, pinned.id);
    window.setFilter(Filter::estimates);
    EXPECT_EQ(rows.rowCount(), 0);
    window.setFilter(Filter::all);
    window.searchField()->setText(QStringLiteral("zyzzyva"));
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.entries().first().id, pinned.id);
    EXPECT_EQ(PlaybackHistory::stepNumber(pinned.source), 1);
}

// The step a source names, read from its end: the last non-empty part, whatever comes before.
TEST(HistoryHugeTexts, theStepIsTheLastNonEmptyPartOfTheSource)
{
    using PH = PlaybackHistory;
    EXPECT_EQ(PH::stepNumber(QStringLiteral("catalog/tags+ladder")), 4);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("tags+ladder")), 4);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("album//")), 3);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("/learned/")), 2);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("xtags+ladder")), std::nullopt) << "a longer part";
    EXPECT_EQ(PH::stepNumber(QStringLiteral("library/pinnedx")), std::nullopt);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("//")), std::nullopt);
    EXPECT_EQ(PH::stepNumber(QString()), std::nullopt);
    EXPECT_EQ(PH::stepNumber(QString(5'000'000, u'x') + QStringLiteral("/derived")), 5);
    EXPECT_EQ(PH::stepNumber(QStringLiteral("file") + QString(5'000'000, u'/')), 1);
    EXPECT_EQ(PH::stepLabel(QStringLiteral("a/b/pinned"), Bundle::main()),
              PH::stepLabel(QStringLiteral("pinned"), Bundle::main()));
    EXPECT_TRUE(PH::sourceEndsIn(QStringLiteral("library/pinned/"), u"pinned"));
    EXPECT_FALSE(PH::sourceEndsIn(QStringLiteral("library/unpinned"), u"pinned"));
    EXPECT_FALSE(PH::sourceEndsIn(std::nullopt, u"pinned"));
}

// The search lowers each title and artist once and keeps it: it answers as lower-casing them at
// every keystroke did, whatever the letters, and follows a play whose title changes.
TEST(HistoryHugeTexts, theSearchsLoweredTextsAnswerAsLowerCasingThemDidAndFollowAChangedTitle)
{
    std::mt19937 rng(24);
    const QStringList letters = {"a", "B", "ß", "İ", "\u212A", "Σ",          "ς", "É",
                                 "é", "k", "i", " ", "Z",      "\U0001F3B5", "ǅ", "Ⅻ"};
    const auto pick = [&](int most) {
        QString text;
        for (int n = std::uniform_int_distribution<int>(0, most)(rng); n > 0; --n)
            text += letters.at(std::uniform_int_distribution<int>(0, int(letters.size()) - 1)(rng));
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString text = pick(12);
        const QString query = pick(3).toLower();
        EXPECT_EQ(PlaybackHistorySearchText::Lowered(text).contains(PlaybackHistorySearchText::Query(query)),
                  text.toLower().contains(query))
            << qPrintable(text) << " / " << qPrintable(query);
    }

    ModelHarness harness;
    Entry entry = play(QStringLiteral("Alpha Song"), QStringLiteral("Someone"), 44100,
                       QStringLiteral("learned"), 44100);
    harness.switcher().history().append(entry);
    PlaybackHistoryWindow window(*harness.model);
    window.setSearch(QStringLiteral("ALPHA"));
    EXPECT_EQ(window.tableModel()->rowCount(), 1);
    entry.title = QStringLiteral("Beta Song");
    harness.switcher().history().update(entry);
    EXPECT_EQ(window.tableModel()->rowCount(), 0);
    window.setSearch(QStringLiteral("beta"));
    EXPECT_EQ(window.tableModel()->rowCount(), 1);
}
