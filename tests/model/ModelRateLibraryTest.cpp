// Import with its dry run, export, their refusals and failures, and the answer timeout.

#include "ModelTestSupport.h"

#include "RateLibraryFile.h"

#include <QDir>
#include <QTimeZone>

namespace {

const QByteArray libraryJson = R"({"rows":[],"outputs":[],"header":{"storefront":"au"}})";

struct Connected {
    ModelHarness h;
    LoopbackPeer peer;
    Connected() { EXPECT_TRUE(pair(h, peer)); }

    void answerImport(const SwitcherProtocol::RateLibraryImported &answer)
    {
        peer.send(QStringLiteral("rateLibraryImported"), answer.toJson());
    }
    void answerExport(const SwitcherProtocol::RateLibraryFile &file)
    {
        peer.send(QStringLiteral("rateLibraryFile"), file.toJson());
    }
    bool statusBecomes(const QString &text)
    {
        return eventually([&] { return h.model->rateLibraryStatus() == text; });
    }
    bool timeoutArmed() const { return h.clock->isScheduled(QStringLiteral("answerTimeout")); }
    // The companion's lines are handled in order: once this one has landed, so has every earlier one.
    bool incomingHandled()
    {
        static int serial = 0;
        SwitcherProtocol::LearnedRates marker;
        marker.notice = QStringLiteral("marker %1").arg(++serial);
        peer.send(QStringLiteral("learnedRates"), marker.toJson());
        return eventually(
            [&] { return h.model->learnedRates() && h.model->learnedRates()->notice == marker.notice; });
    }
};

SwitcherProtocol::RateLibraryFile exportAnswer(const QString &flavour, const QByteArray &json)
{
    SwitcherProtocol::RateLibraryFile file;
    file.flavour = flavour;
    file.ok = true;
    file.data = QString::fromLatin1(json.toBase64());
    return file;
}

const QString timeoutText =
    QStringLiteral("Corvane did not answer — is Corvane Mac Remote up to date and still paired?");

} // namespace

TEST(ModelImport, DryRunPreviewConfirmApply)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("Friends.corvanerates"));
    ASSERT_TRUE(writeFile(path, RateLibraryFile::encode(libraryJson)));

    c.h.model->previewImport(path);
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), QStringLiteral("Reading Friends.corvanerates…"));
    EXPECT_EQ(c.h.clock->dueIn(QStringLiteral("answerTimeout")), SwitcherModel::answerTimeoutMs);
    ASSERT_TRUE(c.peer.waitForType(QStringLiteral("rateLibraryImport")));
    QString mode;
    EXPECT_EQ(importedBytes(c.peer, &mode), libraryJson); // the JSON inside the backup, not the file
    EXPECT_EQ(mode, QStringLiteral("dryRun"));

    c.answerImport(importAnswer(QStringLiteral("dryRun")));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    const SwitcherModel::ImportPreview preview = *c.h.model->importPreview();
    EXPECT_EQ(preview.url, path);
    EXPECT_EQ(preview.json, libraryJson);
    EXPECT_EQ(preview.result.newCount, 40);
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.timeoutArmed());
    EXPECT_FALSE(c.h.model->importPending());

    c.peer.clearReceived();
    c.h.model->confirmImport();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), QStringLiteral("Importing Friends.corvanerates…"));
    EXPECT_TRUE(c.timeoutArmed());
    ASSERT_TRUE(c.peer.waitForType(QStringLiteral("rateLibraryImport")));
    EXPECT_EQ(importedBytes(c.peer, &mode), libraryJson);
    EXPECT_EQ(mode, QStringLiteral("apply"));

    c.answerImport(importAnswer(QStringLiteral("apply")));
    EXPECT_TRUE(c.statusBecomes(
        QStringLiteral("Imported Friends.corvanerates: 40 new, 12 updated, 260 already known")));
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.timeoutArmed());
    EXPECT_FALSE(c.h.model->importPreview());

    // Confirming again without a preview does nothing.
    c.peer.clearReceived();
    c.h.model->confirmImport();
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
}

TEST(ModelImport, PlainJsonIsSentAsItIs)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("library.json"));
    ASSERT_TRUE(writeFile(path, libraryJson));
    c.h.model->previewImport(path);
    ASSERT_TRUE(c.peer.waitForType(QStringLiteral("rateLibraryImport")));
    EXPECT_EQ(importedBytes(c.peer), libraryJson);
}

TEST(ModelImport, DismissClearsEverythingAndSendsNothing)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("library.json"));
    ASSERT_TRUE(writeFile(path, libraryJson));
    c.h.model->previewImport(path);
    c.answerImport(importAnswer(QStringLiteral("dryRun")));
    ASSERT_TRUE(eventually([&] { return c.h.model->importPreview().has_value(); }));
    c.peer.clearReceived();

    c.h.model->dismissImportPreview();
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_FALSE(c.h.model->rateLibraryStatus());
    EXPECT_FALSE(c.h.model->importPending());
    c.h.switcher().forgetRates(); // a marker: whatever was sent before it has arrived with it
    ASSERT_TRUE(c.peer.waitForType(QStringLiteral("forgetRates")));
    EXPECT_EQ(c.peer.receivedTypes(), QStringList{QStringLiteral("forgetRates")});
}

TEST(ModelImport, RefusalsEndInTheirStatus)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("library.json"));
    ASSERT_TRUE(writeFile(path, libraryJson));

    c.h.model->previewImport(path);
    auto refused = importAnswer(QStringLiteral("dryRun"), false);
    refused.refusal = QStringLiteral("This file is from a newer Corvane.");
    c.answerImport(refused);
    EXPECT_TRUE(c.statusBecomes(QStringLiteral("This file is from a newer Corvane.")));
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_FALSE(c.h.model->rateLibraryBusy());

    c.h.model->previewImport(path);
    c.answerImport(importAnswer(QStringLiteral("dryRun"), false));
    EXPECT_TRUE(c.statusBecomes(QStringLiteral("The file could not be imported.")));
    EXPECT_FALSE(c.h.model->importPending());
}

TEST(ModelImport, BadFilesAreRefusedBeforeAnythingIsSent)
{
    Connected c;
    const auto expectRefused = [&](const QString &path, const QString &statusStart) {
        c.h.model->previewImport(path);
        ASSERT_TRUE(c.h.model->rateLibraryStatus());
        EXPECT_TRUE(c.h.model->rateLibraryStatus()->startsWith(statusStart))
            << qPrintable(*c.h.model->rateLibraryStatus());
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
        EXPECT_FALSE(c.h.model->importPending());
        EXPECT_FALSE(c.timeoutArmed());
    };

    expectRefused(c.h.path(QStringLiteral("missing.json")), QStringLiteral("Couldn't read missing.json: "));

    const QString text = c.h.path(QStringLiteral("notes.json"));
    ASSERT_TRUE(writeFile(text, "just some notes"));
    expectRefused(text, QStringLiteral("Couldn't import notes.json: ") +
                            RateLibraryFile::errorMessage(RateLibraryFile::Error::notRateLibrary));

    const QString damaged = c.h.path(QStringLiteral("cut.corvanerates"));
    ASSERT_TRUE(writeFile(damaged, RateLibraryFile::encode(libraryJson).left(20)));
    expectRefused(damaged, QStringLiteral("Couldn't import cut.corvanerates: ") +
                               RateLibraryFile::errorMessage(RateLibraryFile::Error::damaged));

    // A sparse file: large on paper, cheap on disk.
    const QString huge = c.h.path(QStringLiteral("huge.json"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(SwitcherModel::maximumImportBytes + 1));
    }
    expectRefused(huge, QStringLiteral("huge.json is too large to be a Rate Library."));

    const QString folder = c.h.path(QStringLiteral("folder.json"));
    ASSERT_TRUE(QDir().mkpath(folder));
    expectRefused(folder, QStringLiteral("Couldn't read folder.json: "));

    c.h.switcher().forgetRates();
    ASSERT_TRUE(c.peer.waitForType(QStringLiteral("forgetRates")));
    EXPECT_TRUE(c.peer.receivedOfType(QStringLiteral("rateLibraryImport")).isEmpty());
}

TEST(ModelImport, RefusedWithoutTheCompanion)
{
    ModelHarness h;
    const QString path = h.path(QStringLiteral("library.json"));
    ASSERT_TRUE(writeFile(path, libraryJson));
    h.platform.filePanels.importChoice = path;
    h.model->chooseImportFile();
    EXPECT_EQ(h.platform.filePanels.importPanels, 1);
    EXPECT_EQ(h.model->rateLibraryStatus(),
              QStringLiteral("Connect Corvane Mac Remote to import a Rate Library."));
    EXPECT_FALSE(h.model->rateLibraryBusy());
    EXPECT_FALSE(h.model->importPending());
}

TEST(ModelImport, TheAnswerTimesOutAfterThirtySeconds)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("library.json"));
    ASSERT_TRUE(writeFile(path, libraryJson));
    c.h.model->previewImport(path);

    c.h.clock->advance(SwitcherModel::answerTimeoutMs - 1);
    EXPECT_TRUE(c.h.model->rateLibraryBusy());
    c.h.clock->advance(1);
    EXPECT_FALSE(c.h.model->rateLibraryBusy());
    EXPECT_FALSE(c.h.model->importPending());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);

    // The late answer finds nothing waiting and changes nothing.
    c.answerImport(importAnswer(QStringLiteral("dryRun")));
    ASSERT_TRUE(c.incomingHandled());
    EXPECT_FALSE(c.h.model->importPreview());
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);
}

TEST(ModelImport, AStrayAnswerDoesNotEndAnExportsWait)
{
    Connected c;
    c.h.platform.filePanels.exportChoice =
        FilePanels::ExportChoice{c.h.path(QStringLiteral("out.corvanerates")), false};
    c.h.model->exportRateLibrary();
    ASSERT_TRUE(c.h.model->rateLibraryBusy());

    c.answerImport(importAnswer(QStringLiteral("apply")));
    SwitcherProtocol::RateLibraryFile file = exportAnswer(QStringLiteral("backup"), libraryJson);
    c.answerExport(file);
    EXPECT_TRUE(c.statusBecomes(QStringLiteral("Exported the backup to out.corvanerates.")));
}

TEST(ModelExport, BackupAndSharedFileAreWrittenWhereTheUserChose)
{
    Connected c;
    for (const bool share : {false, true}) {
        const QString name =
            share ? QStringLiteral("shared.corvanerates") : QStringLiteral("backup.corvanerates");
        const QString path = c.h.path(name);
        c.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, share};
        c.peer.clearReceived();

        c.h.model->exportRateLibrary();
        EXPECT_EQ(c.h.model->rateLibraryStatus(), share ? QStringLiteral("Preparing the shared file…")
                                                        : QStringLiteral("Preparing the backup…"));
        EXPECT_TRUE(c.h.model->rateLibraryBusy());
        EXPECT_TRUE(c.timeoutArmed());
        ASSERT_TRUE(c.peer.waitForType(QStringLiteral("rateLibraryExport")));
        const QString flavour = share ? QStringLiteral("share") : QStringLiteral("backup");
        EXPECT_EQ(c.peer.receivedOfType(QStringLiteral("rateLibraryExport"))
                      .first()
                      .payload.value(QLatin1String("flavour"))
                      .toString(),
                  flavour);

        c.answerExport(exportAnswer(flavour, libraryJson));
        EXPECT_TRUE(c.statusBecomes(share ? QStringLiteral("Exported the shared file to shared.corvanerates.")
                                          : QStringLiteral("Exported the backup to backup.corvanerates.")));
        EXPECT_FALSE(c.h.model->rateLibraryBusy());
        EXPECT_FALSE(c.timeoutArmed());
        const RateLibraryFile::Decoded written = RateLibraryFile::decode(readFile(path));
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(*written.json, libraryJson);
    }
    EXPECT_EQ(c.h.platform.filePanels.suggestedNames.first(),
              QStringLiteral("Corvane Rate Library.corvanerates"));
}

TEST(ModelExport, FailuresSayWhatHappened)
{
    Connected c;
    const QString path = c.h.path(QStringLiteral("out.corvanerates"));
    c.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, false};

    // Refused, with and without a reason.
    c.h.model->exportRateLibrary();
    SwitcherProtocol::RateLibraryFile refused;
    refused.flavour = QStringLiteral("backup");
    refused.refusal = QStringLiteral("The Rate Library is still loading.");
    c.answerExport(refused);
    EXPECT_TRUE(c.statusBecomes(QStringLiteral("The Rate Library is still loading.")));
    c.h.model->exportRateLibrary();
    refused.refusal.reset();
    c.answerExport(refused);
    EXPECT_TRUE(c.statusBecomes(QStringLiteral("The Rate Library could not be exported.")));

    // Data that is no Rate Library is never written as a backup.
    c.h.model->exportRateLibrary();
    SwitcherProtocol::RateLibraryFile damaged;
    damaged.flavour = QStringLiteral("backup");
    damaged.ok = true;
    damaged.data = QStringLiteral("@@not base64@@");
    c.answerExport(damaged);
    EXPECT_TRUE(c.statusBecomes(
        QStringLiteral("Corvane sent a Rate Library that could not be read; nothing was written.")));
    c.h.model->exportRateLibrary();
    c.answerExport(exportAnswer(QStringLiteral("backup"), "[1,2,3]"));
    EXPECT_TRUE(c.statusBecomes(
        QStringLiteral("Corvane sent a Rate Library that could not be read; nothing was written.")));
    EXPECT_FALSE(QFile::exists(path));

    // An unwritable destination.
    const QString nowhere = c.h.path(QStringLiteral("no such folder/out.corvanerates"));
    c.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{nowhere, false};
    c.h.model->exportRateLibrary();
    c.answerExport(exportAnswer(QStringLiteral("backup"), libraryJson));
    ASSERT_TRUE(eventually([&] { return !c.h.model->rateLibraryBusy(); }));
    ASSERT_TRUE(c.h.model->rateLibraryStatus());
    EXPECT_TRUE(
        c.h.model->rateLibraryStatus()->startsWith(QStringLiteral("Couldn't write out.corvanerates: ")))
        << qPrintable(*c.h.model->rateLibraryStatus());
    EXPECT_TRUE(c.h.model->rateLibraryStatus()->endsWith(QLatin1Char('.')));

    // No answer at all.
    c.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, false};
    c.h.model->exportRateLibrary();
    c.h.clock->advance(SwitcherModel::answerTimeoutMs);
    EXPECT_EQ(c.h.model->rateLibraryStatus(), timeoutText);
    EXPECT_FALSE(c.h.model->exportPending());
    c.answerExport(exportAnswer(QStringLiteral("backup"), libraryJson));
    ASSERT_TRUE(c.incomingHandled());
    EXPECT_FALSE(QFile::exists(path)); // the late file is not written
}

TEST(ModelExport, NothingHappensWithoutTheCompanionOrWhenCancelled)
{
    ModelHarness h;
    h.platform.filePanels.exportChoice =
        FilePanels::ExportChoice{h.path(QStringLiteral("out.corvanerates")), false};
    h.model->exportRateLibrary();
    EXPECT_EQ(h.model->rateLibraryStatus(),
              QStringLiteral("Connect Corvane Mac Remote to export the Rate Library."));
    EXPECT_TRUE(h.platform.filePanels.suggestedNames.isEmpty()); // no panel for a refused export
    EXPECT_FALSE(h.model->rateLibraryBusy());

    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    h.model->setRateLibraryStatus(std::nullopt);
    h.platform.filePanels.exportChoice.reset();
    h.model->exportRateLibrary();
    EXPECT_EQ(h.platform.filePanels.suggestedNames.size(), 1);
    EXPECT_FALSE(h.model->rateLibraryStatus());
    EXPECT_FALSE(h.model->rateLibraryBusy());
}

TEST(ModelExport, HistoryCsvIsWrittenWhole)
{
    ModelHarness h;
    PlaybackHistory::Entry entry;
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    entry.title = QStringLiteral("Café, \"Live\"");
    entry.artist = QStringLiteral("Ünïcode");
    h.switcher().history().append(entry);

    h.platform.filePanels.csvChoice.reset();
    h.model->exportHistoryCSV(); // cancelled: nothing
    EXPECT_EQ(h.platform.filePanels.suggestedNames,
              QStringList{QStringLiteral("Corvane Zuvaradi Playback History.csv")});

    const QString path = h.path(QStringLiteral("history.csv"));
    h.platform.filePanels.csvChoice = path;
    h.model->exportHistoryCSV();
    EXPECT_EQ(QString::fromUtf8(readFile(path)), PlaybackHistory::csvText(h.switcher().history().entries()));
    EXPECT_TRUE(readFile(path).startsWith(PlaybackHistory::csvHeader.toUtf8()));

    // A failed write shows nothing.
    h.platform.filePanels.csvChoice = h.path(QStringLiteral("missing/history.csv"));
    h.model->exportHistoryCSV();
    EXPECT_FALSE(h.model->rateLibraryStatus());
}
