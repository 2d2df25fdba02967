// The window over a real model and store: what it shows as plays come and go, the clear
// confirmation, and the export with a scripted save panel.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "WindowFactories.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace HistoryFixtures;
using Filter = PlaybackHistoryWindowView::Filter;
using Content = PlaybackHistoryWindowView::Content;

namespace {

QList<Entry> threePlays()
{
    return inOrder({play("Pinned", "Artist", 96000, "library/pinned", 96000, "learned"),
                    play("Guess", "Someone", 44100, "tags-guess", 48000, "rewritten"),
                    corrected(play("Corrected", "Artist", 44100, "learned", 44100, "learned"))});
}

class HistoryWindow : public ::testing::Test {
protected:
    // Records the plays and opens the window the app would open.
    void open(const QList<Entry> &plays = threePlays())
    {
        for (const Entry &entry : plays)
            harness.switcher().history().append(entry);
        root.reset(makePlaybackHistoryWindow(*harness.model));
        window = qobject_cast<PlaybackHistoryWindow *>(root.get());
        ASSERT_TRUE(window);
        window->show();
    }

    QStringList rowTitles() const { return titles(window->tableModel()->entries()); }

    ModelHarness harness;
    std::unique_ptr<QWidget> root;
    PlaybackHistoryWindow *window = nullptr;
};

} // namespace

// Clearing and exporting work on the store, and the footer counts every play, whatever the filter
// and the search hide.
TEST_F(HistoryWindow, HiddenPlaysKeepTheButtonsTheCountsAndTheExport)
{
    ASSERT_NO_FATAL_FAILURE(open());
    window->searchField()->setText("nothing like it");
    EXPECT_EQ(window->content(), Content::nothingMatches);
    EXPECT_TRUE(window->clearButton()->isEnabled());
    EXPECT_TRUE(window->exportButton()->isEnabled());
    EXPECT_EQ(window->summaryText(),
              "0 of 3 plays · 2 differed from the prediction · 3 remembered by the Rate Library");

    window->searchField()->clear();
    window->filterButton(Filter::differed)->click();
    EXPECT_EQ(rowTitles(), (QStringList{"Corrected", "Guess"}));

    const QString destination = harness.path("export.csv");
    harness.platform.filePanels.csvChoice = destination;
    window->setSearch("guess");
    ASSERT_EQ(window->tableModel()->rowCount(), 1);
    window->exportButton()->click();
    QFile file(destination);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              PlaybackHistory::csvText(harness.switcher().history().entries()))
        << "all three plays";
}

TEST_F(HistoryWindow, NewPlaysArriveAtTheTopAndTheSelectionStays)
{
    ASSERT_NO_FATAL_FAILURE(open());
    window->table()->selectRow(1);
    Entry fresh = play("Fresh", "Artist", 48000, "album", 48000);
    fresh.at = minutesAfterNoon(10);
    harness.switcher().history().append(fresh);
    EXPECT_EQ(rowTitles(), (QStringList{"Fresh", "Corrected", "Guess", "Pinned"}));
    // The selected play moved down a row; a filter that hides it leaves it selected for later.
    window->setFilter(Filter::pins);
    window->setFilter(Filter::all);
    const QModelIndexList rows = window->table()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().row(), 2);
}

TEST_F(HistoryWindow, ClearGoesThroughTheConfirmation)
{
    ASSERT_NO_FATAL_FAILURE(open());
    window->clearButton()->click();
    ASSERT_TRUE(window->clearConfirmation());
    window->clearConfirmation()->button(QMessageBox::Cancel)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->clearConfirmation(), 2000);
    EXPECT_EQ(harness.switcher().history().entries().size(), 3) << "cancelled: nothing changes";
    EXPECT_EQ(window->content(), Content::table);

    window->setFilter(Filter::pins);
    window->clearButton()->click();
    ASSERT_TRUE(window->clearConfirmation());
    for (QAbstractButton *button : window->clearConfirmation()->buttons()) {
        if (window->clearConfirmation()->buttonRole(button) == QMessageBox::DestructiveRole)
            button->click();
    }
    EXPECT_TRUE(harness.switcher().history().entries().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(window->content(), Content::noPlays, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!window->clearConfirmation(), 2000);
    EXPECT_FALSE(window->clearButton()->isEnabled());
    EXPECT_FALSE(window->exportButton()->isEnabled());
    EXPECT_EQ(window->tableModel()->rowCount(), 0);
}

// An export that cannot be written is said, once per try, by the window that asked.
TEST_F(HistoryWindow, AFailedExportIsShownByTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const QString destination = harness.path("no such folder/export.csv");
    harness.platform.filePanels.csvChoice = destination;
    window->exportButton()->click();
    QMessageBox *failure = window->exportFailure();
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->isVisible());
    EXPECT_EQ(failure->parentWidget(), window);
    EXPECT_EQ(failure->windowModality(), Qt::WindowModal);
    EXPECT_EQ(failure->text(), "The playback history could not be exported");
    EXPECT_TRUE(failure->informativeText().contains(QDir::toNativeSeparators(destination)));
    failure->button(QMessageBox::Ok)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->exportFailure(), 2000);

    harness.platform.filePanels.csvChoice = harness.path("export.csv");
    window->exportButton()->click();
    EXPECT_FALSE(window->exportFailure());
    EXPECT_TRUE(QFile::exists(harness.path("export.csv")));
}
