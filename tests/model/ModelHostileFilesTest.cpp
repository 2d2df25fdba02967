// Shared files made to hurt the app, opened for import: each ends in the status for a file that
// can't be read, and nothing of it goes to the companion.

#include "ModelTestSupport.h"

#include "RateLibraryFile.h"

TEST(ModelImport, AFileNestedDeeperThanAnyReaderAllowsIsRefusedAndNothingIsSent)
{
    const QString damaged = RateLibraryFile::errorMessage(RateLibraryFile::Error::damaged);
    const auto deep = [](qsizetype depth, bool closed) {
        return "{\"rows\":" + QByteArray(depth - 1, '[') + (closed ? QByteArray(depth - 1, ']') + "}" : "");
    };
    const struct {
        QString name;
        QByteArray bytes;
    } files[] = {
        // Deep enough to be refused, shallow enough to be read to the end.
        {u"Deep.json"_s, deep(5000, true)},
        // A megabyte of brackets; two million of them packed into a few kilobytes.
        {u"Brackets.json"_s, deep(1024 * 1024, true)},
        {u"Small.corvanerates"_s, RateLibraryFile::encode(deep(2'000'000, false))},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name.toStdString());
        Paired c;
        const QString path = c.h.path(file.name);
        ASSERT_TRUE(writeFile(path, file.bytes));
        c.h.model->previewImport(path);
        EXPECT_TRUE(eventually([&] { return !c.h.model->importReading(); }, 30'000));
        EXPECT_EQ(c.h.model->rateLibraryStatus().value_or(QString()).toStdString(),
                  ("Couldn't import "_L1 + file.name + ": "_L1 + damaged).toStdString());
        EXPECT_FALSE(c.h.model->importPending());
        EXPECT_FALSE(c.h.model->importPreview());
        c.flush();
        EXPECT_TRUE(c.peer.receivedOfType(u"rateLibraryImport"_s).isEmpty());
    }
}
