// Rate Library data nested to exhaust the stack: a shared file opened for import ends in the
// status for a file that can't be read, and nothing of it goes to the companion; a companion's
// export answer of it writes nothing.

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

// The same from a companion: a backup that could never be imported is not written.
TEST(ModelExport, ALibraryNestedDeeperThanAnyReaderAllowsIsNotWritten)
{
    const QString unreadable = u"Corvane sent a Rate Library that could not be read; nothing was written."_s;
    for (const qsizetype depth : {qsizetype(5000), qsizetype(2'000'000)}) {
        SCOPED_TRACE(depth);
        Paired c;
        const QString path = c.h.path(u"out.corvanerates"_s);
        c.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, false};
        c.h.model->exportRateLibrary();
        ASSERT_TRUE(c.peer.waitForType(u"rateLibraryExport"_s));
        const QByteArray json = "{\"rows\":" + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
        const SwitcherProtocol::RateLibraryFile answer{u"backup"_s, true, std::nullopt,
                                                       QString::fromLatin1(json.toBase64())};
        c.peer.send(u"rateLibraryFile"_s, answer.toJson());
        EXPECT_TRUE(eventually([&] { return c.h.model->rateLibraryStatus() == unreadable; }, 30'000));
        EXPECT_FALSE(QFile::exists(path));
    }
}
