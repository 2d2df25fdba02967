// The window over a real model and store: what it shows as plays come and go, the clear
// confirmation, and the export with a scripted save panel.

#include "CsvRows.h"
#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "WindowFactories.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <gtest/gtest.h>

#include <array>
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
    // The file as a spreadsheet reads it: the header and all three plays (each field's writing is
    // the CSV tests').
    const QList<QStringList> rows = csvRows(readFile(destination));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows.at(0).join(u','), PlaybackHistory::csvHeader);
    EXPECT_EQ(QStringList({rows[1].value(1), rows[2].value(1), rows[3].value(1)}),
              (QStringList{"Pinned", "Guess", "Corrected"}));
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

// The Time column is as wide as the widest date and time of this locale in this font needs (a
// two-digit day and hour in every month, morning and evening) and the rate columns as the longest
// rates: none of them shortened with "…", at the window's opening size and at its least.
TEST_F(HistoryWindow, NoTimeOrRateIsShortened)
{
    QList<Entry> plays;
    for (int month = 1; month <= 12; ++month) {
        for (int hour : {10, 22}) {
            Entry entry = play("Late", "Artist", 176400, "learned", 352800);
            entry.at = QDateTime(QDate(2026, month, 26), QTime(hour, 44));
            plays.append(entry);
        }
    }
    ASSERT_NO_FATAL_FAILURE(open(plays));
    QTableView *table = window->table();
    QStyle *style = table->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    for (QSize size : {QSize(960, 520), window->minimumSize()}) {
        window->resize(size);
        QTRY_COMPARE_WITH_TIMEOUT(window->size(), size, 2000);
        QCoreApplication::processEvents();
        for (int cell = 0; cell < 3 * window->tableModel()->rowCount(); ++cell) {
            // As the cell draws it: the style's text rectangle less its text margins.
            const int column =
                std::array{PlaybackHistoryTableModel::time, PlaybackHistoryTableModel::predicted,
                           PlaybackHistoryTableModel::played}[cell % 3];
            const QModelIndex index = window->tableModel()->index(cell / 3, column);
            QStyleOptionViewItem option;
            option.initFrom(table->viewport());
            option.rect = table->visualRect(index);
            option.font = table->font();
            option.features = QStyleOptionViewItem::HasDisplay;
            option.text = index.data().toString();
            const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, table)
                                   .adjusted(margin, 0, -margin, 0);
            const QString shown =
                QFontMetrics(option.font).elidedText(option.text, Qt::ElideMiddle, text.width());
            EXPECT_EQ(shown.toStdString(), option.text.toStdString())
                << text.width() << " points, window " << size.width();
        }
    }
}

// A cancelled save panel writes nothing and says nothing; an export that cannot be written writes
// nothing and is said, once per try, by the window that asked, not as a notification.
TEST_F(HistoryWindow, ACancelledOrFailedExportWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(open());
    window->exportButton()->click();
    EXPECT_EQ(harness.platform.filePanels.suggestedNames,
              QStringList{"Corvane Zuvaradi Playback History.csv"});
    EXPECT_FALSE(window->exportFailure());
    EXPECT_TRUE(QDir(harness.dir.path()).entryList({"*.csv"}).isEmpty());

    const QString destination = harness.path("no such folder/export.csv");
    harness.platform.filePanels.csvChoice = destination;
    window->exportButton()->click();
    QMessageBox *failure = window->exportFailure();
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->isVisible());
    EXPECT_EQ(failure->parentWidget(), window);
    EXPECT_EQ(failure->windowModality(), Qt::WindowModal);
    EXPECT_EQ(failure->text(), "The playback history could not be exported");
    EXPECT_TRUE(failure->informativeText().startsWith(QDir::toNativeSeparators(destination) +
                                                      " could not be written: "));
    EXPECT_FALSE(QFile::exists(destination));
    EXPECT_TRUE(harness.platform.notifications.shown.isEmpty());
    failure->button(QMessageBox::Ok)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->exportFailure(), 2000);
}
