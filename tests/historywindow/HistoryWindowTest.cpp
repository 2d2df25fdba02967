// The window over a real model and store: what it shows as plays come and go, the clear
// confirmation, and the export with a scripted save panel.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "WindowFactories.h"

#include <QAbstractButton>
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

class HistoryWindow : public ::testing::Test {
protected:
    void record(const QList<Entry> &plays)
    {
        for (const Entry &entry : plays)
            harness.switcher().history().append(entry);
    }

    void open()
    {
        window = std::make_unique<PlaybackHistoryWindow>(*harness.model);
        window->show();
    }

    QStringList rowTitles() const
    {
        QStringList titles;
        for (const Entry &entry : window->tableModel()->entries())
            titles.append(entry.title);
        return titles;
    }

    QAbstractButton *confirmationButton(QMessageBox::ButtonRole role) const
    {
        QMessageBox *box = window->clearConfirmation();
        if (!box)
            return nullptr;
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == role)
                return button;
        }
        return nullptr;
    }

    ModelHarness harness;
    std::unique_ptr<PlaybackHistoryWindow> window;
};

QList<Entry> threePlays()
{
    Entry corrected = play("Corrected", "Artist", 44100, "learned", 44100, "learned");
    corrected.corrected = true;
    return inOrder({
        play("Pinned", "Artist", 96000, "library/pinned", 96000, "learned"),
        play("Guess", "Someone", 44100, "tags-guess", 48000, "rewritten"),
        corrected,
    });
}

} // namespace

TEST_F(HistoryWindow, FactoryBuildsTheWindowAtItsSizes)
{
    std::unique_ptr<QWidget> root(makePlaybackHistoryWindow(*harness.model));
    auto *history = qobject_cast<PlaybackHistoryWindow *>(root.get());
    ASSERT_TRUE(history);
    EXPECT_EQ(root->windowTitle(), "Playback History");
    EXPECT_EQ(root->minimumSize(), QSize(820, 360));
    EXPECT_EQ(root->size(), QSize(960, 520));
    EXPECT_EQ(history->searchField()->width(), 220);
    EXPECT_EQ(history->searchField()->placeholderText(), "Search track or artist");
    EXPECT_EQ(history->view().filter, Filter::all);
    EXPECT_TRUE(history->filterButton(Filter::all)->isChecked());
    EXPECT_EQ(history->filterButton(Filter::none)->text(), "No prediction");
    EXPECT_TRUE(
        history->filterButton(Filter::differed)->toolTip().startsWith("Differed: the play's settled rate"));
}

TEST_F(HistoryWindow, EmptyStoreDisablesBothButtons)
{
    open();
    EXPECT_EQ(window->content(), Content::noPlays);
    EXPECT_FALSE(window->clearButton()->isEnabled());
    EXPECT_FALSE(window->exportButton()->isEnabled());
    EXPECT_EQ(window->summaryText(),
              "0 plays · 0 differed from the prediction · 0 remembered by the Rate Library");
}

TEST_F(HistoryWindow, HiddenPlaysKeepTheButtonsAndTheCounts)
{
    record(threePlays());
    open();
    EXPECT_EQ(rowTitles(), (QStringList{"Corrected", "Guess", "Pinned"}));
    EXPECT_EQ(window->content(), Content::table);

    window->searchField()->setText(QStringLiteral("nothing like it"));
    EXPECT_EQ(window->content(), Content::nothingMatches);
    EXPECT_TRUE(window->clearButton()->isEnabled());
    EXPECT_TRUE(window->exportButton()->isEnabled());
    EXPECT_EQ(window->summaryText(),
              "0 of 3 plays · 2 differed from the prediction · 3 remembered by the Rate Library");

    window->searchField()->clear();
    window->filterButton(Filter::differed)->click();
    EXPECT_EQ(window->view().filter, Filter::differed);
    EXPECT_EQ(rowTitles(), (QStringList{"Corrected", "Guess"}));
    EXPECT_EQ(window->summaryText(),
              "2 of 3 plays · 2 differed from the prediction · 3 remembered by the Rate Library");
}

TEST_F(HistoryWindow, NewPlaysArriveAtTheTopAndTheSelectionStays)
{
    record(threePlays());
    open();
    const QUuid guess = window->tableModel()->entries().at(1).id;
    window->table()->selectRow(1);
    EXPECT_EQ(window->view().selection, QSet<QUuid>{guess});

    Entry fresh = play("Fresh", "Artist", 48000, "album", 48000);
    fresh.at = minutesAfterNoon(10);
    record({fresh});
    EXPECT_EQ(rowTitles(), (QStringList{"Fresh", "Corrected", "Guess", "Pinned"}));
    const QModelIndexList rows = window->table()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().row(), 2);
    EXPECT_EQ(window->table()->currentIndex().row(), 2);

    // A filter that hides the selected play leaves it selected for when it shows again.
    window->setFilter(Filter::pins);
    EXPECT_EQ(window->view().selection, QSet<QUuid>{guess});
    window->setFilter(Filter::all);
    ASSERT_EQ(window->table()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(window->table()->selectionModel()->selectedRows().first().row(), 2);
}

TEST_F(HistoryWindow, ClearGoesThroughTheConfirmation)
{
    record(threePlays());
    open();

    window->clearButton()->click();
    ASSERT_TRUE(window->clearConfirmation());
    EXPECT_TRUE(window->view().confirmClear);
    EXPECT_EQ(window->clearConfirmation()->text(), "Clear the playback history?");
    EXPECT_EQ(window->clearConfirmation()->informativeText(),
              "Every row goes. The Rate Library itself is not touched.");
    ASSERT_TRUE(confirmationButton(QMessageBox::RejectRole));
    confirmationButton(QMessageBox::RejectRole)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->clearConfirmation(), 2000);
    EXPECT_FALSE(window->view().confirmClear);
    EXPECT_EQ(harness.switcher().history().entries().size(), 3);
    EXPECT_EQ(window->content(), Content::table);

    window->setFilter(Filter::pins);
    window->clearButton()->click();
    QAbstractButton *clear = confirmationButton(QMessageBox::DestructiveRole);
    ASSERT_TRUE(clear);
    EXPECT_EQ(clear->text(), "Clear History");
    clear->click();
    EXPECT_TRUE(harness.switcher().history().entries().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(window->content(), Content::noPlays, 2000);
    EXPECT_FALSE(window->view().confirmClear);
    EXPECT_FALSE(window->clearButton()->isEnabled());
    EXPECT_FALSE(window->exportButton()->isEnabled());
    EXPECT_EQ(window->tableModel()->rowCount(), 0);
}

TEST_F(HistoryWindow, ExportWritesEveryStoredPlayWhateverIsShown)
{
    record(threePlays());
    open();
    const QString destination = harness.path(QStringLiteral("export.csv"));
    harness.platform.filePanels.csvChoice = destination;

    window->setFilter(Filter::pins);
    window->setSearch(QStringLiteral("pinned"));
    window->table()->selectRow(0);
    ASSERT_EQ(window->tableModel()->rowCount(), 1);
    window->exportButton()->click();

    EXPECT_EQ(harness.platform.filePanels.suggestedNames,
              QStringList{"Corvane Zuvaradi Playback History.csv"});
    QFile file(destination);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll());
    EXPECT_EQ(csv, PlaybackHistory::csvText(harness.switcher().history().entries()));
    const QStringList lines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.at(1).contains("Pinned"));
    EXPECT_TRUE(lines.at(2).contains("Guess"));
    EXPECT_TRUE(lines.at(3).contains("Corrected"));
}
