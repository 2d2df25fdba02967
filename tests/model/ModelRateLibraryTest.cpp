// Import with its dry run, export, their refusals and failures, and the answer timeout.

#include "ModelTestSupport.h"

#include "RateLibraryFile.h"

#include <QDir>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using FileAnswer = SwitcherProtocol::RateLibraryFile;
using SwitcherProtocol::RateLibraryImported;

namespace {

const QByteArray libraryJson = R"({"rows":[],"outputs":[],"header":{"storefront":"au"}})";
const QString timeoutText = u"Corvane did not answer — is Corvane Mac Remote up to date and still paired?"_s;

FileAnswer exportAnswer(const QByteArray &json, const QString &flavour = u"backup"_s)
{
    return {flavour, true, std::nullopt, QString::fromLatin1(json.toBase64())};
}

struct Library : Paired {
    const QString json = h.path(u"library.json"_s);
    Library() { EXPECT_TRUE(writeFile(json, libraryJson)); }

    // Chooses the file and waits until it was read and its dry run sent.
    void preview(const QString &path)
    {
        h.model->previewImport(path);
        EXPECT_TRUE(eventually([&] { return h.model->importPending(); }));
    }
    void answer(const RateLibraryImported &answer) { peer.send(u"rateLibraryImported"_s, answer.toJson()); }
    void answer(const FileAnswer &file) { peer.send(u"rateLibraryFile"_s, file.toJson()); }
    bool statusBecomes(const QString &text)
    {
        return eventually([&] { return h.model->rateLibraryStatus() == text; });
    }
    void exportTo(const QString &path, bool share = false)
    {
        h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, share};
        h.model->exportRateLibrary();
    }
    // The last import request: its bytes and mode.
    std::pair<QByteArray, QString> lastImport()
    {
        EXPECT_TRUE(peer.waitForType(u"rateLibraryImport"_s));
        const QJsonObject payload = peer.receivedOfType(u"rateLibraryImport"_s).last().payload;
        return {QByteArray::fromBase64(payload.value("data"_L1).toString().toLatin1()),
                payload.value("mode"_L1).toString()};
    }
    // Incoming lines are handled in order: once this marker has landed, so has every earlier one.
    void incomingHandled()
    {
        SwitcherProtocol::LearnedRates marker;
        marker.notice = QUuid::createUuid().toString();
        peer.send(u"learnedRates"_s, marker.toJson());
        EXPECT_TRUE(eventually(
            [&] { return h.model->learnedRates() && h.model->learnedRates()->notice == marker.notice; }));
    }
};

} // namespace

TEST(ModelImport, DryRunPreviewConfirmApply)
{
    Library c;
    const QString path = c.h.path(u"Friends.corvanerates"_s);
    ASSERT_TRUE(writeFile(path, RateLibraryFile::encode(libraryJson)));

    c.h.model->previewImport(path);
    // The file is read on a worker thread: nothing is sent, and no answer awaited, until then.
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Reading Friends.corvanerates…"_s);
    EXPECT_TRUE(c.h.model->importReading());
    EXPECT_FALSE(c.h.model->importPending());
    EXPECT_FALSE(c.h.clock->dueIn(u"answerTimeout"_s));
    // The JSON inside the backup is sent, not the file.
    EXPECT_EQ(c.lastImport(), std::pair(libraryJson, u"dryRun"_s));
    EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Reading Friends.corvanerates…"_s);

    c.answer(importAnswer(u"dryRun"_s));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    EXPECT_EQ(c.h.model->importPreview()->result, importAnswer(u"dryRun"_s));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());

    c.h.model->confirmImport();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Importing Friends.corvanerates…"_s);
    EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs);
    ASSERT_TRUE(c.peer.waitForType(u"rateLibraryImport"_s, 2));
    EXPECT_EQ(c.lastImport(), std::pair(libraryJson, u"apply"_s));

    c.answer(importAnswer(u"apply"_s));
    EXPECT_TRUE(c.statusBecomes(u"Imported Friends.corvanerates: 40 new, 12 updated, 260 already known"_s));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
}

TEST(ModelImport, RefusalsEndInTheirStatus)
{
    Library c;
    RateLibraryImported withReason = importAnswer(u"dryRun"_s, false);
    withReason.refusal = u"This file is from a newer Corvane."_s;
    const std::pair<RateLibraryImported, QString> cases[] = {
        {withReason, *withReason.refusal},
        {importAnswer(u"dryRun"_s, false), u"The file could not be imported."_s},
    };
    for (const auto &[answer, status] : cases) {
        SCOPED_TRACE(status.toStdString());
        c.preview(c.json);
        c.answer(answer);
        EXPECT_TRUE(c.statusBecomes(status));
        EXPECT_FALSE(c.h.model->importPreview());
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
        EXPECT_FALSE(c.h.model->importPending());
    }
}

TEST(ModelImport, BadFilesAreRefusedBeforeAnythingIsSent)
{
    Library c;
    ASSERT_TRUE(writeFile(c.h.path(u"notes.json"_s), "just some notes"));
    QFile huge(c.h.path(u"huge.json"_s)); // sparse: large on paper, cheap on disk
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(SwitcherModel::maximumImportBytes + 1));
    huge.close();

    const std::pair<QString, QString> cases[] = {
        {u"missing.json"_s, u"Couldn't read missing.json: "_s},
        {u"notes.json"_s, "Couldn't import notes.json: "_L1 +
                              RateLibraryFile::errorMessage(RateLibraryFile::Error::notRateLibrary)},
        {u"huge.json"_s, u"huge.json is too large to be a Rate Library."_s},
    };
    for (const auto &[name, status] : cases) {
        SCOPED_TRACE(name.toStdString());
        c.h.model->previewImport(c.h.path(name));
        EXPECT_TRUE(eventually([&] { return !c.h.model->importReading(); }));
        EXPECT_TRUE(c.h.model->rateLibraryStatus().value_or(QString()).startsWith(status))
            << c.h.model->rateLibraryStatus().value_or(QString()).toStdString();
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
    }
    c.flush();
    EXPECT_TRUE(c.peer.receivedOfType(u"rateLibraryImport"_s).isEmpty());
}

TEST(ModelImport, AFifoIsRefusedWithoutBeingOpened)
{
    Library c;
    const QString fifo = c.h.path(u"library.json.fifo"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Whoever opens the FIFO to read it would block until a writer comes; this one comes, and
    // tells.
    std::atomic<bool> stop = false;
    std::atomic<bool> opened = false;
    std::thread writer([&] {
        while (!stop) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    c.h.model->previewImport(fifo);
    EXPECT_TRUE(eventually([&] { return !c.h.model->importReading(); }));
    stop = true;
    writer.join();
    EXPECT_FALSE(opened);
    EXPECT_EQ(c.h.model->rateLibraryStatus(),
              "Couldn't import library.json.fifo: "_L1 +
                  RateLibraryFile::errorMessage(RateLibraryFile::Error::notRateLibrary));
}

TEST(ModelImport, OnlyTheLatestChoiceIsReadAndADismissedReadSendsNothing)
{
    Library c;
    const QString other = c.h.path(u"other.json"_s);
    const QByteArray otherJson = R"({"rows":[{"id":"x"}]})";
    ASSERT_TRUE(writeFile(other, otherJson));

    c.h.model->previewImport(c.json);
    c.h.model->dismissImportPreview();
    EXPECT_EQ(c.h.model->rateLibraryStatus(), std::nullopt);
    c.h.model->previewImport(c.json);
    c.h.model->previewImport(other);
    EXPECT_EQ(c.lastImport(), std::pair(otherJson, u"dryRun"_s));
    c.flush();
    EXPECT_EQ(c.peer.receivedOfType(u"rateLibraryImport"_s).size(), 1);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Reading other.json…"_s);
}

TEST(ModelRateLibrary, TheAnswerTimesOutAfterThirtySecondsAndALateAnswerChangesNothing)
{
    Library c;
    const QString out = c.h.path(u"out.corvanerates"_s);
    for (const bool exporting : {false, true}) {
        SCOPED_TRACE(exporting ? "export" : "import");
        exporting ? c.exportTo(out) : c.preview(c.json);
        if (!exporting) {
            EXPECT_EQ(c.lastImport().first, libraryJson) << "plain JSON is sent as it is";
        }
        c.h.clock->advance(SwitcherModel::answerTimeoutMs - 1);
        EXPECT_TRUE(c.h.model->rateLibraryBusy());
        c.h.clock->advance(1);
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
        EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);

        exporting ? c.answer(exportAnswer(libraryJson)) : c.answer(importAnswer(u"dryRun"_s));
        c.incomingHandled();
        EXPECT_FALSE(c.h.model->importPreview());
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);
    }
}

TEST(ModelExport, BackupAndSharedFileAreWrittenWhereTheUserChose)
{
    Library c;
    for (const bool share : {false, true}) {
        const QString flavour = share ? u"share"_s : u"backup"_s;
        SCOPED_TRACE(flavour.toStdString());
        const QString path = c.h.path(flavour + u".corvanerates"_s);
        c.exportTo(path, share);
        EXPECT_EQ(c.h.model->rateLibraryStatus(),
                  share ? u"Preparing the shared file…"_s : u"Preparing the backup…"_s);
        ASSERT_TRUE(c.peer.waitForType(u"rateLibraryExport"_s, share ? 2 : 1));
        EXPECT_EQ(c.peer.receivedOfType(u"rateLibraryExport"_s).last().payload.value("flavour"_L1), flavour);

        c.answer(importAnswer(u"apply"_s)); // a stray answer does not end the wait
        c.incomingHandled();
        EXPECT_TRUE(c.h.model->rateLibraryBusy());
        c.answer(exportAnswer(libraryJson, flavour));
        EXPECT_TRUE(c.statusBecomes(share ? u"Exported the shared file to share.corvanerates."_s
                                          : u"Exported the backup to backup.corvanerates."_s));
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
        EXPECT_EQ(RateLibraryFile::decode(readFile(path)).json, libraryJson);
    }
    EXPECT_EQ(c.h.platform.filePanels.suggestedNames.first(), u"Corvane Rate Library.corvanerates"_s);
}

TEST(ModelExport, FailuresSayWhatHappenedAndWriteNothing)
{
    Library c;
    const QString unreadable = u"Corvane sent a Rate Library that could not be read; nothing was written."_s;
    const FileAnswer refused{u"backup"_s, false, u"The Rate Library is still loading."_s, std::nullopt};
    const FileAnswer notBase64{u"backup"_s, true, std::nullopt, u"@@not base64@@"_s};
    const std::pair<FileAnswer, QString> cases[] = {
        {refused, *refused.refusal},
        {FileAnswer{u"backup"_s, false, std::nullopt, std::nullopt},
         u"The Rate Library could not be exported."_s},
        {notBase64, unreadable},
        {exportAnswer("[1,2,3]"), unreadable},
    };
    const QString path = c.h.path(u"out.corvanerates"_s);
    for (const auto &[answer, status] : cases) {
        SCOPED_TRACE(status.toStdString());
        c.exportTo(path);
        c.answer(answer);
        EXPECT_TRUE(c.statusBecomes(status));
        EXPECT_FALSE(QFile::exists(path));
    }

    c.exportTo(c.h.path(u"no such folder/out.corvanerates"_s));
    c.answer(exportAnswer(libraryJson));
    ASSERT_TRUE(eventually([&] { return !c.h.model->rateLibraryBusy(); }));
    const QString status = c.h.model->rateLibraryStatus().value_or(QString());
    EXPECT_TRUE(status.startsWith(u"Couldn't write out.corvanerates: "_s) && status.endsWith(u'.'))
        << status.toStdString();
}

TEST(ModelRateLibrary, FileCommandsNeedTheCompanion)
{
    ModelHarness h;
    h.platform.filePanels.importChoice = h.path(u"library.json"_s);
    h.model->chooseImportFile();
    EXPECT_EQ(h.model->rateLibraryStatus(), u"Connect Corvane Mac Remote to import a Rate Library."_s);
    h.platform.filePanels.exportChoice = FilePanels::ExportChoice{h.path(u"out.corvanerates"_s), false};
    h.model->exportRateLibrary();
    EXPECT_EQ(h.model->rateLibraryStatus(), u"Connect Corvane Mac Remote to export the Rate Library."_s);
    EXPECT_TRUE(h.platform.filePanels.suggestedNames.isEmpty()); // no panel for a refused export
}

TEST(ModelExport, HistoryCsvIsWrittenWholeAndACancelWritesNothing)
{
    ModelHarness h;
    PlaybackHistory::Entry entry;
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    for (const QString &title : {u"Café, \"Live\""_s, u"Ünïcode"_s}) {
        entry.title = title;
        h.switcher().history().append(entry);
    }
    h.model->exportHistoryCSV(); // cancelled
    EXPECT_EQ(h.platform.filePanels.suggestedNames, QStringList{u"Corvane Zuvaradi Playback History.csv"_s});
    EXPECT_TRUE(QDir(h.dir.path()).entryList({u"*.csv"_s}).isEmpty());

    h.platform.filePanels.csvChoice = h.path(u"history.csv"_s);
    h.model->exportHistoryCSV();
    EXPECT_EQ(QString::fromUtf8(readFile(*h.platform.filePanels.csvChoice)),
              PlaybackHistory::csvText(h.switcher().history().entries()));
}
