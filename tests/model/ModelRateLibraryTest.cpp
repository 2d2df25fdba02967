// Import with its dry run, export, their refusals and failures, and the answer timeout; the
// journeys over the stand-in companion cover the rest of what the user sees.

#include "ModelTestSupport.h"

#include "RateLibrary/FooterTexts.h"
#include "RateLibraryFile.h"

#include <QDeadlineTimer>

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
    void incomingHandled() { ::incomingHandled(h, peer); }
};

} // namespace

TEST(ModelImport, DryRunPreviewConfirmApply)
{
    Library c;
    const QString path = c.h.path(u"Friends.corvanerates"_s);
    ASSERT_TRUE(writeFile(path, RateLibraryFile::encode(libraryJson)));

    c.h.model->previewImport(path);
    // The file is read on a worker thread: no answer is awaited until it was sent.
    EXPECT_TRUE(c.h.model->importReading());
    EXPECT_FALSE(c.h.model->importPending());
    EXPECT_FALSE(c.h.clock->dueIn(u"answerTimeout"_s));
    // The JSON inside the backup is sent, not the file.
    EXPECT_EQ(c.lastImport(), std::pair(libraryJson, u"dryRun"_s));
    EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs);

    c.answer(importAnswer(u"dryRun"_s));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    EXPECT_EQ(c.h.model->importPreview()->result, importAnswer(u"dryRun"_s));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), std::nullopt) << "the sheet speaks, not \"Reading…\"";

    c.h.model->confirmImport();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs);
    ASSERT_TRUE(c.peer.waitForType(u"rateLibraryImport"_s, 2));
    EXPECT_EQ(c.lastImport(), std::pair(libraryJson, u"apply"_s));
}

// A refusal with its reason is a journey; this one comes without.
TEST(ModelImport, ARefusalWithoutAReasonEndsInAStatusAllTheSame)
{
    Library c;
    c.preview(c.json);
    c.answer(importAnswer(u"dryRun"_s, false));
    EXPECT_TRUE(c.statusBecomes(u"The file could not be imported."_s));
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.h.model->importPending());
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

TEST(ModelImport, AnAnswerIsTakenOnlyForTheRequestItAnswers)
{
    Library c;
    const QString busy = u"Another import or export is still under way; try again when it has finished."_s;
    c.preview(c.json);
    c.answer(importAnswer(u"apply"_s)); // not what the dry run waits for
    c.incomingHandled();
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.h.model->importPreview());
    c.answer(importAnswer(u"dryRun"_s));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    c.h.model->confirmImport();

    // While the apply waits, neither a second file nor an export starts; the status says why.
    const QString second = c.h.path(u"second.json"_s);
    ASSERT_TRUE(writeFile(second, libraryJson));
    c.h.model->previewImport(second);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), busy);
    EXPECT_FALSE(c.h.model->importReading());
    c.exportTo(c.h.path(u"out.corvanerates"_s));
    EXPECT_EQ(c.h.model->rateLibraryStatus(), busy);
    EXPECT_TRUE(c.h.platform.filePanels.suggestedNames.isEmpty()) << "no save panel either";
    c.answer(importAnswer(u"dryRun"_s));
    c.incomingHandled();
    EXPECT_TRUE(c.h.model->rateLibraryBusy());

    c.answer(importAnswer(u"apply"_s, true, {1, 2, 3, 0, 0, 0}));
    EXPECT_TRUE(c.statusBecomes(u"Imported library.json: 1 new, 2 updated, 3 already known"_s));
    c.flush();
    EXPECT_EQ(c.peer.receivedOfType(u"rateLibraryImport"_s).size(), 2); // the dry run and the apply
    EXPECT_TRUE(c.peer.receivedOfType(u"rateLibraryExport"_s).isEmpty());
}

TEST(ModelImport, ADismissalOrANewerChoiceStopsTheReadAndOnlyTheLatestChoiceIsSent)
{
    Library c;
    const QByteArray otherJson = R"({"rows":[{"id":"x"}]})";
    std::atomic<int> slowReads = 0;
    std::atomic<int> stopped = 0;
    c.h.model->setImportReader([&](const QString &path, const std::atomic<bool> &cancelled) {
        if (path.endsWith(u"slow.json"_s)) {
            ++slowReads;
            QDeadlineTimer patience(5000);
            while (!cancelled && !patience.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stopped += cancelled ? 1 : 0;
        }
        return SwitcherModel::ImportRead{path.endsWith(u"other.json"_s) ? otherJson : libraryJson, {}};
    });
    const QString slow = c.h.path(u"slow.json"_s);
    c.h.model->previewImport(slow);
    ASSERT_TRUE(eventually([&] { return slowReads == 1; }));
    c.h.model->dismissImportPreview();
    EXPECT_EQ(c.h.model->rateLibraryStatus(), std::nullopt);
    EXPECT_TRUE(eventually([&] { return stopped == 1; }, 2000));

    c.h.model->previewImport(slow);
    ASSERT_TRUE(eventually([&] { return slowReads == 2; }));
    c.h.model->previewImport(c.h.path(u"other.json"_s));
    EXPECT_TRUE(eventually([&] { return stopped == 2; }, 2000));
    EXPECT_EQ(c.lastImport(), std::pair(otherJson, u"dryRun"_s));
    c.flush();
    EXPECT_EQ(c.peer.receivedOfType(u"rateLibraryImport"_s).size(), 1);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Reading other.json…"_s);
}

// The link keeps order and the companion answers each request once: the answer to a dry run
// given up on comes before the next file's, and must not become its preview.
TEST(ModelImport, LateAnswersToImportsGivenUpOnAreDropped)
{
    Library c;
    QStringList files;
    for (const char *name : {"a.json", "b.json", "c.json"}) {
        files << c.h.path(QString::fromLatin1(name));
        ASSERT_TRUE(writeFile(files.last(), libraryJson));
    }
    c.preview(files[0]);
    c.h.clock->advance(SwitcherModel::answerTimeoutMs);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);
    c.preview(files[1]);
    c.h.clock->advance(SwitcherModel::answerTimeoutMs);
    c.preview(files[2]);
    c.answer(importAnswer(u"dryRun"_s, true, {1, 0, 0, 0, 0, 0})); // a.json's
    c.answer(importAnswer(u"dryRun"_s, true, {2, 0, 0, 0, 0, 0})); // b.json's
    c.incomingHandled();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs) << "c.json's own wait";
    c.answer(importAnswer(u"dryRun"_s, true, {3, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    EXPECT_EQ(c.h.model->importPreview()->url, files[2]);
    EXPECT_EQ(c.h.model->importPreview()->result.newCount, 3);

    // An apply given up on: its late answer is not the next apply's result.
    c.h.model->confirmImport();
    c.h.clock->advance(SwitcherModel::answerTimeoutMs);
    c.preview(files[0]);
    c.answer(importAnswer(u"apply"_s, true, {3, 0, 0, 0, 0, 0})); // c.json's
    c.answer(importAnswer(u"dryRun"_s, true, {4, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    EXPECT_EQ(c.h.model->rateLibraryStatus(), std::nullopt);
    c.h.model->confirmImport();
    c.answer(importAnswer(u"apply"_s, true, {4, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(c.statusBecomes(u"Imported a.json: 4 new, 0 updated, 0 already known"_s));
}

// A companion that leaves answers nothing more, and the next one owes nothing: a request still
// waiting ends at once, and the new pairing's first answer is its own.
TEST(ModelImport, ACompanionThatLeavesOwesNothing)
{
    Library c;
    c.preview(c.json);
    c.h.clock->advance(SwitcherModel::answerTimeoutMs); // owed, by this companion only
    c.preview(c.json);
    c.peer.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return !c.h.switcher().link().isPeer(); }));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.h.model->importPending());
    EXPECT_FALSE(c.h.clock->dueIn(u"answerTimeout"_s));
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);

    LoopbackPeer again;
    ASSERT_TRUE(pair(c.h, again));
    c.h.model->previewImport(c.json);
    ASSERT_TRUE(again.waitForType(u"rateLibraryImport"_s));
    again.send(u"rateLibraryImported"_s, importAnswer(u"dryRun"_s, true, {5, 0, 0, 0, 0, 0}).toJson());
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    EXPECT_EQ(c.h.model->importPreview()->result.newCount, 5);

    // Import pressed under a sheet whose companion has left: nothing is sent, nothing waits.
    again.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return !c.h.switcher().link().isPeer(); }));
    c.h.model->confirmImport();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Connect Corvane Mac Remote to import a Rate Library."_s);
}

// The import's timeout is a journey.
TEST(ModelExport, TheAnswerTimesOutAfterThirtySecondsAndALateAnswerWritesNothing)
{
    Library c;
    const QString out = c.h.path(u"out.corvanerates"_s);
    c.exportTo(out);
    c.h.clock->advance(SwitcherModel::answerTimeoutMs - 1);
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    c.h.clock->advance(1);
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);

    c.answer(exportAnswer(libraryJson));
    c.incomingHandled();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);
}

// The backup's export is a journey.
TEST(ModelExport, TheSharedFileIsWrittenWhereTheUserChose)
{
    Library c;
    const QString path = c.h.path(u"share.corvanerates"_s);
    c.exportTo(path, true);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Preparing the shared file…"_s);
    ASSERT_TRUE(c.peer.waitForType(u"rateLibraryExport"_s));
    EXPECT_EQ(c.peer.receivedOfType(u"rateLibraryExport"_s).last().payload.value("flavour"_L1), u"share"_s);

    c.answer(importAnswer(u"apply"_s)); // a stray answer does not end the wait
    c.incomingHandled();
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    c.answer(exportAnswer(libraryJson, u"share"_s));
    EXPECT_TRUE(c.statusBecomes(u"Exported the shared file to share.corvanerates."_s));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(RateLibraryFile::decode(readFile(path)).json, libraryJson);
    EXPECT_EQ(c.h.platform.filePanels.suggestedNames.first(), u"Corvane Rate Library.corvanerates"_s);
}

// The answer names its flavour: a shared file, whether late or never asked for, is not the backup
// that waits (it holds no pins, local files or outputs).
TEST(ModelExport, OnlyAnAnswerOfTheFlavourThatWaitsIsWritten)
{
    Library c;
    const QByteArray shared = R"({"rows":[],"flavour":"share"})";
    const QString sharePath = c.h.path(u"share.corvanerates"_s);
    c.exportTo(sharePath, true);
    c.h.clock->advance(SwitcherModel::answerTimeoutMs);
    const QString backupPath = c.h.path(u"backup.corvanerates"_s);
    c.exportTo(backupPath);
    c.answer(exportAnswer(shared, u"share"_s)); // late
    c.answer(exportAnswer(shared, u"share"_s)); // asked by nobody
    c.incomingHandled();
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Preparing the backup…"_s);
    EXPECT_FALSE(QFile::exists(backupPath));
    EXPECT_FALSE(QFile::exists(sharePath));

    c.answer(exportAnswer(libraryJson));
    EXPECT_TRUE(c.statusBecomes(u"Exported the backup to backup.corvanerates."_s));
    EXPECT_EQ(RateLibraryFile::decode(readFile(backupPath)).json, libraryJson);
}

// The save panel runs an event loop of its own. A file opened meanwhile (a second launch, the
// command line) starts its import; when the panel returns, the export does not start over it.
// Nor does it start when the companion left meanwhile.
TEST(ModelExport, TheExportChecksAgainWhenItsSavePanelReturns)
{
    Library c;
    const QString busy = u"Another import or export is still under way; try again when it has finished."_s;
    const QString out = c.h.path(u"out.corvanerates"_s);
    std::atomic<bool> holdRead = false;
    c.h.model->setImportReader([&](const QString &, const std::atomic<bool> &cancelled) {
        QDeadlineTimer patience(5000);
        while (holdRead && !cancelled && !patience.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return SwitcherModel::ImportRead{libraryJson, {}};
    });
    for (const bool dryRunSent : {false, true}) {
        SCOPED_TRACE(dryRunSent ? "the dry run waits" : "the file is being read");
        holdRead = !dryRunSent;
        c.h.platform.filePanels.whileOpen = [&] {
            c.h.model->previewImport(c.json);
            if (dryRunSent)
                EXPECT_TRUE(eventually([&] { return c.h.model->importPending(); }));
        };
        c.exportTo(out);
        c.h.platform.filePanels.whileOpen = nullptr;
        EXPECT_EQ(c.h.model->rateLibraryStatus(), busy);
        EXPECT_FALSE(c.h.model->exportPending());
        holdRead = false;
        ASSERT_TRUE(eventually([&] { return c.h.model->importPending(); }));
        EXPECT_EQ(c.h.clock->dueIn(u"answerTimeout"_s), SwitcherModel::answerTimeoutMs);
        c.answer(importAnswer(u"dryRun"_s));
        ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
        c.h.model->dismissImportPreview();
    }
    c.flush();
    EXPECT_TRUE(c.peer.receivedOfType(u"rateLibraryExport"_s).isEmpty());

    c.h.platform.filePanels.whileOpen = [&] {
        c.peer.disconnectFromHost();
        EXPECT_TRUE(eventually([&] { return !c.h.switcher().link().isPeer(); }));
    };
    c.exportTo(out);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), u"Connect Corvane Mac Remote to export the Rate Library."_s);
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.h.clock->dueIn(u"answerTimeout"_s));
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
    ASSERT_TRUE(eventually([&] { return !c.h.model->exportPending(); }));
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

// A scan started while an import or export waits: its sentence is the latest word, whether it
// ends after that operation's outcome or before it.
TEST(ModelRateLibrary, AScanStartedWhileAFileOperationWaitsIsSeen)
{
    Library c;
    FakeMusicApp &music = c.h.platform.musicApp;
    music.running = true;
    music.holdScans = true;
    music.scanResult = u"Music.app got an error."_s;
    c.h.model->pollPlatform();
    const auto statusLine = [&] { return RateLibrary::footerBar(*c.h.model, {}).statusLine; };
    const QString failed = u"Local file scan failed — Music.app got an error."_s;

    c.preview(c.json);
    c.answer(importAnswer(u"dryRun"_s));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    c.h.model->confirmImport();
    c.h.model->scanLocalFiles();
    EXPECT_EQ(statusLine(), u"Importing library.json…"_s);
    c.answer(importAnswer(u"apply"_s, true, {1, 2, 3, 0, 0, 0}));
    EXPECT_TRUE(c.statusBecomes(u"Imported library.json: 1 new, 2 updated, 3 already known"_s));
    music.finishScans();
    EXPECT_EQ(statusLine(), failed);

    // The scan ends first: its failure shows while the export waits; the export's outcome follows.
    c.exportTo(c.h.path(u"out.corvanerates"_s));
    c.h.model->scanLocalFiles();
    music.finishScans();
    EXPECT_EQ(statusLine(), failed);
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    c.answer(exportAnswer(libraryJson));
    EXPECT_TRUE(eventually([&] { return statusLine() == u"Exported the backup to out.corvanerates."_s; }));
}
