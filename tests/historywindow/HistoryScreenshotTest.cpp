// Pictures of the window with an evening of plays of every kind, saved into the build folder as
// screens/history*.png for a person to look at, and checked for what a person would see in them.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PictureProbe.h"
#include "PlaybackHistory/PlaybackHistoryStyle.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTableView>

#include <gtest/gtest.h>

using namespace HistoryFixtures;

TEST(HistoryScreenshot, SampleEvening)
{
    ModelHarness harness;
    for (const Entry &entry : evening())
        harness.switcher().history().append(entry);
    PlaybackHistoryWindow window(*harness.model);
    window.resize(960, 520);
    window.show();
    window.table()->selectRow(2);
    const QDir folder(QDir(QCoreApplication::applicationDirPath()).filePath("../screens"));
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    const auto save = [&](const char *name) {
        QCoreApplication::processEvents();
        const QImage image = PictureProbe::picture(window);
        EXPECT_TRUE(image.save(folder.filePath(name))) << name;
        return image;
    };
    const QImage evening = save("history.png");

    // Orange where a play differed or loaded slowly, and only there; the selected row highlighted.
    using Model = PlaybackHistoryTableModel;
    const QColor orange = PlaybackHistoryStyle::toneColor(Model::Tone::orange);
    QTableView *table = window.table();
    int orangeCells = 0;
    for (int row = 0; row < window.tableModel()->rowCount(); ++row) {
        for (int column : {Model::played, Model::load, Model::outcome}) {
            const QModelIndex index = window.tableModel()->index(row, column);
            const QRect cell = table->visualRect(index);
            if (row == 2 || !table->viewport()->rect().contains(cell))
                continue;
            const int pixels =
                PictureProbe::pixelsNear(evening, orange, PictureProbe::inWindow(*table->viewport(), cell));
            const bool marked = Model::Tone(index.data(Model::toneRole).toInt()) == Model::Tone::orange;
            EXPECT_EQ(pixels > 0, marked) << "row " << row << ", column " << column << ": " << pixels;
            orangeCells += marked ? 1 : 0;
        }
    }
    EXPECT_GE(orangeCells, 4);
    const QRect selected = PictureProbe::inWindow(
        *table->viewport(), table->visualRect(window.tableModel()->index(2, Model::setting)));
    EXPECT_GT(PictureProbe::pixelsNear(evening, table->palette().color(QPalette::Active, QPalette::Highlight),
                                       selected),
              selected.width() * selected.height() / 2);

    // Emptied: the message in the middle, no table and nothing orange.
    harness.switcher().history().clear();
    const QImage empty = save("history-empty.png");
    EXPECT_EQ(PictureProbe::pixelsNear(empty, orange), 0);
    const QLabel *title = nullptr;
    for (const QLabel *label : window.findChildren<QLabel *>())
        title = label->isVisible() && label->text() == "No plays yet" ? label : title;
    ASSERT_TRUE(title);
    EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(empty, PictureProbe::inWindow(*title, title->rect())), 20)
        << "the title is drawn";
    EXPECT_FALSE(table->isVisible());
}
