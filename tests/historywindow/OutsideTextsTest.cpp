// Texts from a history file or a chosen file's name, where the window shows them through Qt's
// text handling (hover help, a message box): read as written, never as markup or a link.

#include "HistoryFixtures.h"
#include "HistoryWindowSupport.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "ReadTexts.h"

#include "Common/ShownText.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

using namespace HistoryFixtures;

TEST(HistoryOutsideTexts, aPlaysReasonAndAFailedExportsFileReadAsWritten)
{
    ModelHarness harness;
    const QStringList reasons = {QStringLiteral("<img src=/etc/passwd>"), QStringLiteral("<b>x</b>"),
                                 QStringLiteral("Reason &lt;quoted&gt; & more"),
                                 QStringLiteral("<table>").repeated(10000)};
    QList<Entry> plays;
    for (const QString &reason : reasons) {
        Entry entry =
            play(QStringLiteral("Plain"), QStringLiteral("Someone"), std::nullopt, std::nullopt, 48000);
        entry.note = reason;
        plays.append(entry);
    }
    const std::unique_ptr<PlaybackHistoryWindow> shown = showHistoryWindow(harness, plays);
    PlaybackHistoryWindow &window = *shown;
    PlaybackHistoryTableModel &rows = *window.tableModel();
    ASSERT_EQ(rows.rowCount(), reasons.size());

    // The reason in the From column, as its hover help.
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QModelIndex from = rows.index(row, PlaybackHistoryTableModel::from);
        const QString note = *rows.entries().at(row).note;
        EXPECT_EQ(ReadTexts::toolTipAt(window.table()->viewport(), window.table()->visualRect(from).center()),
                  ShownText::bounded(note))
            << qPrintable(note.left(40));
    }

    // An export to a file whose folder cannot be made: the message names the file as it was chosen.
    const QString destination =
        harness.path(QStringLiteral("<a href=\"file:///etc/passwd\">no</a> <b>such</b>/h.csv"));
    harness.platform.filePanels.csvChoice = destination;
    window.exportButton()->click();
    QMessageBox *failure = window.exportFailure();
    ASSERT_TRUE(failure);
    QStringList read;
    for (const QLabel *label : failure->findChildren<QLabel *>())
        read.append(ReadTexts::inLabel(*label));
    const QString said = QDir::toNativeSeparators(destination) + QStringLiteral(" could not be written: ");
    EXPECT_TRUE(std::any_of(read.begin(), read.end(), [&](const QString &text) {
        return text.startsWith(said);
    })) << qPrintable(read.join(u'\n'));
    failure->button(QMessageBox::Ok)->click();
}
