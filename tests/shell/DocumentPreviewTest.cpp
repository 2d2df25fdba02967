// A Rate Library file given at launch: the Rate Library window opens and, once the companion
// has paired and answered the dry run, the import preview sheet stands over it.

#include "CompanionProcess.h"
#include "RateLibrary/ImportPreviewSheet.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "RateLibraryFile.h"
#include "Shell/AppShell.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(AppShell, AFileGivenAtLaunchEndsInTheImportPreviewSheet)
{
    QTemporaryDir dir;
    const QString document = dir.filePath(u"From Sam.corvanerates"_s);
    QFile file(document);
    const QByteArray json = R"({"rows":[{"id":"1","tier":"lossless","rate":96000}],"flavour":"share"})";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(RateLibraryFile::encode(json)) > 0);
    file.close();

    AppShell shell;
    shell.start({u"corvane-switcher"_s, document});
    ASSERT_TRUE(shell.scenes().window(u"learned"_s));
    // The companion comes after the launch, as it does when the file is opened from the desktop.
    CompanionProcess companion; // it finds the port in the data folder's port file
    ASSERT_TRUE(companion.start()) << companion.errorText().toStdString();

    const auto sheet = [&]() -> ImportPreviewSheet * {
        QWidget *scene = shell.scenes().window(u"learned"_s);
        auto *window = scene ? scene->findChild<LearnedRatesWindow *>() : nullptr;
        return window ? window->importPreviewSheet() : nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet() && sheet()->isVisible(); }, 10000))
        << shell.model().rateLibraryStatus().value_or(QString()).toStdString();
    EXPECT_EQ(sheet()->findChild<QLabel *>(u"title"_s)->text(), u"Import “From Sam.corvanerates”?"_s);
    EXPECT_EQ(sheet()->gridValues().first(), u"A shared Rate Library (another user's confirmed rates)"_s);

    // Closing the window under the sheet drops the preview.
    shell.scenes().closeWindow(u"learned"_s);
    EXPECT_FALSE(shell.model().importPreview());
}
