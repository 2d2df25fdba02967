// The import preview sheet: its texts, and how it is shown, answered and dismissed.

#include "CompanionAnswers.h"
#include "WindowTestSupport.h"

#include "RateLibrary/ImportPreviewSheet.h"
#include "RateLibrary/ImportPreviewTexts.h"

#include <QLabel>
#include <QPushButton>
#include <QTimeZone>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;

namespace {

ImportResult dryRun(std::optional<QString> flavour = std::nullopt)
{
    ImportResult result = importAnswer(QStringLiteral("dryRun"));
    result.flavour = std::move(flavour);
    return result;
}

// A shown window with the preview of "Friends.corvanerates" and its sheet over it.
struct Previewing : OpenWindow {
    bool preview(const ImportResult &answer)
    {
        return open() && previewImport(QStringLiteral("Friends.corvanerates"), answer) &&
               window->importPreviewSheet() && window->importPreviewSheet()->isVisible();
    }
    ImportPreviewSheet &sheet() { return *window->importPreviewSheet(); }
};

} // namespace

TEST(ImportPreviewTexts, OriginLineAndFlavours)
{
    ImportResult r = dryRun();
    EXPECT_EQ(originLine(r), "unknown (no header — an older file)");
    r.fileVersion = 3; // without a note it says nothing
    EXPECT_EQ(originLine(r), "unknown (no header — an older file)");

    r.storefront = QStringLiteral("au");
    r.appVersion = QStringLiteral("2.4 (812)");
    // In the tests' locale and time zone (C.UTF-8, UTC), as a user reads it.
    r.writtenAt = QDateTime(QDate(2026, 12, 6), QTime(21, 5), QTimeZone::utc());
    const QString written = QStringLiteral("Dec 6, 2026, 9:05\u202FPM");
    EXPECT_EQ(originLine(r), "the AU storefront · Corvane 2.4 (812) · written " + written);
    r.note = QStringLiteral("Written by an older Corvane; pins were kept.");
    EXPECT_EQ(originLine(r),
              "the AU storefront · Corvane 2.4 (812) · written " + written + " · file version 3");
    r.storefront.reset();
    r.writtenAt.reset();
    EXPECT_EQ(originLine(r), "Corvane 2.4 (812) · file version 3");

    const QString backup =
        "A Rate Library backup (everything: rates, pins, local files, Dolby Atmos answers)";
    const QString backupRule = "Nothing is replaced: the more recent confirmation wins a row, your pins "
                               "always stand, and nothing is "
                               "removed.";
    EXPECT_EQ(flavourText(dryRun()), backup);
    EXPECT_EQ(mergeRule(dryRun()), backupRule);
    EXPECT_EQ(flavourText(dryRun(QStringLiteral("backup"))), backup);
    EXPECT_EQ(flavourText(dryRun(QStringLiteral("Share"))), backup); // exactly "share" only
    EXPECT_EQ(flavourText(dryRun(QStringLiteral("share"))),
              "A shared Rate Library (another user's confirmed rates)");
    EXPECT_EQ(
        mergeRule(dryRun(QStringLiteral("share"))),
        "Nothing is replaced: a shared row never displaces a rate learned here, and the first play here "
        "makes it first-hand. Pins, local files and outputs are not in a shared file.");

    EXPECT_EQ(importTitle(QStringLiteral("/tmp/a folder/Friends.corvanerates")),
              "Import “Friends.corvanerates”?");
}

TEST(ImportPreviewSheet, ShowsTheDryRunAndReturnImports)
{
    Previewing p;
    ImportResult answer = dryRun(QStringLiteral("share"));
    answer.fileTracks = 312;
    answer.skipped = 3;
    answer.outputsNew = 2;
    answer.note = QStringLiteral("Shared by someone on the AU storefront.");
    answer.warning = QStringLiteral("Some rows name outputs you don't have.");
    ASSERT_TRUE(p.preview(answer));
    ImportPreviewSheet &sheet = p.sheet();
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet.findChild<QLabel *>("title")->text(), "Import “Friends.corvanerates”?");
    EXPECT_EQ(sheet.gridValues(),
              QStringList({"A shared Rate Library (another user's confirmed rates)",
                           "unknown (no header — an older file)", "312 tracks",
                           "40 new, 12 updated, 260 already known, 3 skipped · 2 outputs added"}));
    QStringList labels;
    for (const QLabel *label : sheet.findChildren<QLabel *>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(*answer.note));
    EXPECT_TRUE(labels.contains(*answer.warning)) << "a warning shows and does not block Import";
    EXPECT_TRUE(sheet.importButton()->isEnabled() && sheet.importButton()->isDefault());
    EXPECT_TRUE(sheet.cancelButton()->isEnabled());

    p.peer.clearReceived();
    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_FALSE(p.window->importPreviewSheet());
    EXPECT_FALSE(p.h.model->importPreview());
    EXPECT_EQ(p.h.model->rateLibraryStatus(), "Importing Friends.corvanerates…");
    ASSERT_TRUE(p.peer.waitForType(QStringLiteral("rateLibraryImport")));
    EXPECT_EQ(p.peer.receivedOfType(QStringLiteral("rateLibraryImport")).first().payload.value("mode"),
              "apply");
}

// Destroying the window with the sheet over it once crashed: the dismissed preview's announcement
// reached the window's half-destroyed explainer.
TEST(ImportPreviewSheet, EscapeCancelAndClosingOrDestroyingTheWindowSendNothing)
{
    for (const char *how :
         {"Escape", "Cancel", "close the sheet", "close the window", "destroy the window"}) {
        SCOPED_TRACE(how);
        Previewing p;
        ASSERT_TRUE(p.preview(dryRun()));
        QPointer<ImportPreviewSheet> sheet = &p.sheet();
        p.peer.clearReceived();
        const QString way = QString::fromLatin1(how);
        if (way == "Escape")
            QTest::keyClick(sheet, Qt::Key_Escape);
        else if (way == "Cancel")
            QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        else if (way == "close the sheet")
            sheet->close();
        else if (way == "close the window")
            p.window->close();
        else
            p.window.reset();
        EXPECT_TRUE(!sheet || !sheet->isVisible());
        EXPECT_FALSE(p.h.model->importPreview());
        EXPECT_FALSE(p.h.model->importPending());
        EXPECT_EQ(p.h.model->rateLibraryStatus(), std::nullopt);
        EXPECT_EQ(sentSinceLastLook(p.h, p.peer), QStringList());
    }
}

TEST(ImportPreviewSheet, APreviewWaitsForTheWindowAndGoesWhenTheModelDropsIt)
{
    Previewing p;
    ASSERT_TRUE(p.open());
    p.window->hide();
    ASSERT_TRUE(p.previewImport(QStringLiteral("later.json"), dryRun()));
    EXPECT_FALSE(p.window->importPreviewSheet()) << "no sheet over a closed window";

    p.window->show();
    ASSERT_TRUE(p.window->importPreviewSheet());
    EXPECT_TRUE(p.window->importPreviewSheet()->isVisible());
    EXPECT_EQ(p.window->importPreviewSheet()->findChild<QLabel *>("title")->text(), "Import “later.json”?");
    p.h.model->dismissImportPreview();
    EXPECT_FALSE(p.window->importPreviewSheet());
}
