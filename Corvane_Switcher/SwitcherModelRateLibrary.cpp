// The Rate Library file commands (export, import with its dry run) and the other commands that
// write files or wait for Music.app: the local-file scan and the history's CSV export.

#include "SwitcherModelPrivate.h"

#include "AtomicFile.h"
#include "Logging.h"
#include "RateLibraryFile.h"
#include "RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <utility>

namespace {

const QString answerTimeoutSlot = QStringLiteral("answerTimeout");
const QString localScanTimeoutSlot = QStringLiteral("localScanTimeout");

using ImportRead = SwitcherModel::ImportRead;

QString noAnswerText()
{
    return SwitcherModelTr::tr("Corvane did not answer — is Corvane Mac Remote up to date and still paired?");
}

// Takes one owed answer of this mode or flavour off the list; true when there was one.
bool takeOwed(QStringList &owed, const QString &key)
{
    const qsizetype at = owed.indexOf(key);
    if (at < 0)
        return false;
    owed.removeAt(at);
    return true;
}

// Runs on a worker thread: reading and inflating a large file takes long enough to be felt.
// A cancelled read gives nothing; nobody waits for it.
ImportRead readImportFile(const QString &path, qint64 cap, const std::atomic<bool> &cancelled)
{
    const QString name = displayFileName(path);
    const auto refused = [&name](const QString &why) {
        //: A file name, then why it can't be imported.
        const QString text = SwitcherModelTr::tr("Couldn't import %1: %2").arg(name, why);
        return ImportRead{{}, text};
    };
    //: A file name; the file is far larger than any Rate Library.
    const QString tooLarge = SwitcherModelTr::tr("%1 is too large to be a Rate Library.").arg(name);
    const QFileInfo info(path);
    // A FIFO or a device would block the read, a folder has nothing to read; refused here without
    // being opened, and by the reader should one be put in the file's place meanwhile.
    if (info.exists() && !info.isFile())
        return refused(RateLibraryFile::errorMessage(RateLibraryFile::Error::notRateLibrary));
    RegularFile::Contents file = RegularFile::read(path, cap, {RateLibraryFile::readPadding, &cancelled});
    if (cancelled)
        return {};
    switch (file.status) {
    case RegularFile::Status::read:
        break;
    case RegularFile::Status::notRegular:
        return refused(RateLibraryFile::errorMessage(RateLibraryFile::Error::notRateLibrary));
    case RegularFile::Status::tooLarge:
        return {{}, tooLarge};
    case RegularFile::Status::missing:
    case RegularFile::Status::unreadable: {
        //: A file name, then the reason the system gave.
        const QString text = SwitcherModelTr::tr("Couldn't read %1: %2.").arg(name, file.error);
        return {{}, text};
    }
    }
    RateLibraryFile::Decoded decoded = RateLibraryFile::decode(file.bytes, cap, &cancelled);
    file.bytes = QByteArray();
    if (cancelled)
        return {};
    if (!decoded.ok())
        return refused(RateLibraryFile::errorMessage(decoded.error));
    return {std::move(*decoded.json), std::nullopt};
}

// An empty text on success, else the reason.
QString writeAtomically(const QString &path, const QByteArray &data)
{
    QString error;
    return AtomicFile::write(path, data, &error) ? QString() : error;
}

// Runs on a worker thread: for a large library, decoding, checking, compressing and writing take
// the better part of a second. None when written, else the status that says why not.
std::optional<QString> writeExport(const QString &path, QString base64)
{
    // Decoded in place: the base64's own buffer leaves the JSON reader its padding.
    QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        std::exchange(base64, QString()).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray json = std::move(decoded.decoded);
    if (!decoded || json.isEmpty() || !RateLibraryFile::isJsonObject(json)) {
        // Writing this would leave a backup that can never be imported.
        qCWarning(lcUi, "rate library export: the companion's data is not a Rate Library");
        //: The companion answered an export with data that is not a Rate Library; nothing was written.
        return SwitcherModelTr::tr(
            "Corvane sent a Rate Library that could not be read; nothing was written.");
    }
    const QByteArray file = RateLibraryFile::encode(json);
    const QString error = file.isEmpty()
                              //: Why an export could not be written: compressing the data failed.
                              ? SwitcherModelTr::tr("the Rate Library could not be compressed")
                              : writeAtomically(path, file);
    if (error.isEmpty())
        return std::nullopt;
    qCWarning(lcUi, "rate library export failed — %s", qUtf8Printable(error));
    //: A file name, then the reason the system gave.
    return SwitcherModelTr::tr("Couldn't write %1: %2.").arg(displayFileName(path), error);
}

// Runs `work` on a worker thread, then `done` with its result on the main thread, unless the
// model is gone by then.
template <class Work, class Done> void offMainThread(SwitcherModel *model, Work work, Done done)
{
    QPointer<SwitcherModel> self(model);
    QThreadPool::globalInstance()->start([self, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        QMetaObject::invokeMethod(
            qApp,
            [self, done = std::move(done), result = std::move(result)]() mutable {
                if (self)
                    done(*self, std::move(result));
            },
            Qt::QueuedConnection);
    });
}

} // namespace

// The answer timeout.

void SwitcherModel::armAnswerTimeout()
{
    d->clock->schedule(answerTimeoutSlot, answerTimeoutMs, [this] { answerTimedOut(); });
}

void SwitcherModel::cancelAnswerTimeout()
{
    d->clock->cancel(answerTimeoutSlot);
}

void SwitcherModel::answerTimedOut()
{
    if (!d->rateLibraryBusy)
        return;
    Batch batch(*this);
    giveUpWait(true);
    setRateLibraryStatus(noAnswerText());
}

void SwitcherModel::giveUpWait(bool answerStillOwed)
{
    cancelAnswerTimeout();
    if (answerStillOwed && d->pendingExport)
        d->owedExportFlavours.append(d->pendingExport->flavour);
    if (answerStillOwed && d->pendingImport)
        d->owedImportModes.append(d->pendingImport->mode);
    d->pendingExport.reset();
    d->pendingImport.reset();
    setBusy(false);
}

void SwitcherModel::companionLeft()
{
    d->owedImportModes.clear();
    d->owedExportFlavours.clear();
    if (!d->rateLibraryBusy)
        return;
    // Whoever pairs next never got the request; waiting on would only let its answers be taken
    // for this one.
    Batch batch(*this);
    giveUpWait(false);
    setRateLibraryStatus(noAnswerText());
}

// Export.

bool SwitcherModel::refuseWhileFileOperationRuns(bool alsoWhileReading)
{
    // One answer at a time: a second request would have its answer taken for the first's.
    if (!d->rateLibraryBusy && !d->exportWriting &&
        !(alsoWhileReading && (d->importReading || d->importPreview)))
        return false;
    //: A Rate Library import or export was asked for while another one still waits for its answer.
    setRateLibraryStatus(
        SwitcherModelTr::tr("Another import or export is still under way; try again when it has finished."));
    return true;
}

void SwitcherModel::exportRateLibrary()
{
    if (!m_switcher->link().isPeer()) {
        //: The Rate Library lives in the companion app; nothing can be exported without it.
        setRateLibraryStatus(SwitcherModelTr::tr("Connect Corvane Mac Remote to export the Rate Library."));
        return;
    }
    if (!m_platform.filePanels || refuseWhileFileOperationRuns(true))
        return;
    const std::optional<FilePanels::ExportChoice> choice =
        m_platform.filePanels->chooseRateLibraryExport(QStringLiteral("Corvane Rate Library.corvanerates"));
    if (!choice || choice->path.isEmpty())
        return;
    // The panel ran an event loop of its own: the companion may have left, or a file opened
    // meanwhile may have started an import, whose wait this one must not share.
    if (!m_switcher->link().isPeer()) {
        setRateLibraryStatus(SwitcherModelTr::tr("Connect Corvane Mac Remote to export the Rate Library."));
        return;
    }
    if (refuseWhileFileOperationRuns(true))
        return;

    Batch batch(*this);
    const QString flavour = choice->share ? QStringLiteral("share") : QStringLiteral("backup");
    d->pendingExport = Private::PendingExport{choice->path, flavour};
    setBusy(true);
    setRateLibraryStatus(choice->share ? SwitcherModelTr::tr("Preparing the shared file…")
                                       : SwitcherModelTr::tr("Preparing the backup…"));
    armAnswerTimeout();
    m_switcher->requestRateLibraryExport(flavour);
}

void SwitcherModel::rateLibraryFileArrived(const SwitcherProtocol::RateLibraryFile &answer)
{
    if (takeOwed(d->owedExportFlavours, answer.flavour)) {
        qCInfo(lcUi, "rate library file (\"%s\") for an export given up on; dropped",
               qUtf8Printable(answer.flavour));
        return;
    }
    // A shared file is not a backup: only the flavour asked for is written.
    if (!d->pendingExport || answer.flavour != d->pendingExport->flavour) {
        qCInfo(lcUi, "rate library file (\"%s\") with no such export waiting; ignored",
               qUtf8Printable(answer.flavour));
        return;
    }
    Batch batch(*this);
    cancelAnswerTimeout();
    setBusy(false);
    const Private::PendingExport pending = *std::exchange(d->pendingExport, std::nullopt);

    if (!answer.ok) {
        setRateLibraryStatus(answer.refusal.value_or(
            //: The companion refused to hand over its Rate Library and gave no reason.
            SwitcherModelTr::tr("The Rate Library could not be exported.")));
        return;
    }
    // The status keeps saying "Preparing…" until the file is written.
    d->exportWriting = true;
    offMainThread(
        this,
        [path = pending.path, data = answer.data.value_or(QString())] { return writeExport(path, data); },
        [pending](SwitcherModel &model, std::optional<QString> failure) {
            model.exportWritten(pending.path, pending.flavour, failure);
        });
}

void SwitcherModel::exportWritten(const QString &path, const QString &flavour,
                                  const std::optional<QString> &failure)
{
    Batch batch(*this);
    d->exportWriting = false;
    if (failure) {
        setRateLibraryStatus(*failure);
        return;
    }
    qCInfo(lcUi, "rate library exported (%s): %s", qUtf8Printable(flavour), qUtf8Printable(path));
    const QString name = displayFileName(path);
    if (flavour == QLatin1String("share"))
        //: The placeholder is a file name.
        setRateLibraryStatus(SwitcherModelTr::tr("Exported the shared file to %1.").arg(name));
    else
        //: The placeholder is a file name.
        setRateLibraryStatus(SwitcherModelTr::tr("Exported the backup to %1.").arg(name));
}

// Import.

void SwitcherModel::chooseImportFile()
{
    if (!m_platform.filePanels || (m_switcher->link().isPeer() && refuseWhileFileOperationRuns(false)))
        return;
    const std::optional<QString> path = m_platform.filePanels->chooseRateLibraryImport();
    if (path && !path->isEmpty())
        previewImport(*path);
}

void SwitcherModel::setImportReader(ImportReader reader)
{
    d->importReader = std::move(reader);
}

void SwitcherModel::previewImport(const QString &path)
{
    Batch batch(*this);
    if (!m_switcher->link().isPeer()) {
        //: The Rate Library lives in the companion app; nothing can be imported without it.
        setRateLibraryStatus(SwitcherModelTr::tr("Connect Corvane Mac Remote to import a Rate Library."));
        return;
    }
    if (refuseWhileFileOperationRuns(false))
        return;
    setImportPreview(std::nullopt);
    d->pendingImport.reset();
    cancelImportRead(); // a newer choice: the older file is read for nobody
    const quint64 ticket = ++d->importReadTicket;
    d->importReading = true;
    d->importReadCancelled = std::make_shared<std::atomic<bool>>(false);
    //: The placeholder is a file name; the companion is checking what importing it would do.
    setRateLibraryStatus(SwitcherModelTr::tr("Reading %1…").arg(displayFileName(path)));
    ImportReader reader = d->importReader;
    if (!reader)
        reader = [](const QString &file, const std::atomic<bool> &cancelled) {
            return readImportFile(file, maximumImportBytes, cancelled);
        };
    offMainThread(
        this,
        [reader = std::move(reader), path, cancelled = d->importReadCancelled] {
            return reader(path, *cancelled);
        },
        [path, ticket](SwitcherModel &model, ImportRead read) {
            model.importFileRead(ticket, path, std::move(read));
        });
}

void SwitcherModel::cancelImportRead()
{
    if (d->importReadCancelled)
        d->importReadCancelled->store(true);
    d->importReadCancelled.reset();
    d->importReading = false;
}

void SwitcherModel::importFileRead(quint64 ticket, const QString &path, ImportRead read)
{
    if (ticket != d->importReadTicket || !d->importReading)
        return; // dismissed, or another file chosen meanwhile
    Batch batch(*this);
    d->importReading = false;
    d->importReadCancelled.reset();
    if (read.refusal) {
        setRateLibraryStatus(std::move(read.refusal));
        return;
    }
    if (!m_switcher->link().isPeer()) {
        setRateLibraryStatus(SwitcherModelTr::tr("Connect Corvane Mac Remote to import a Rate Library."));
        return;
    }
    if (refuseWhileFileOperationRuns(false))
        return;
    d->pendingImport = Private::PendingImport{path, read.json, QStringLiteral("dryRun")};
    setBusy(true);
    armAnswerTimeout();
    m_switcher->importRateLibrary(read.json, QStringLiteral("dryRun"));
}

void SwitcherModel::rateLibraryImportedArrived(const SwitcherProtocol::RateLibraryImported &answer)
{
    if (takeOwed(d->owedImportModes, answer.mode)) {
        qCInfo(lcUi, "rate library import answer (\"%s\") for an import given up on; dropped",
               qUtf8Printable(answer.mode));
        return;
    }
    // A stray answer must not end the wait of an export that is still running, nor an answer to
    // another request stand for the one awaited.
    if (!d->pendingImport || answer.mode != d->pendingImport->mode) {
        qCInfo(lcUi, "rate library import answer (\"%s\") with no such import waiting; ignored",
               qUtf8Printable(answer.mode));
        return;
    }
    Batch batch(*this);
    cancelAnswerTimeout();
    setBusy(false);
    const Private::PendingImport pending = *std::exchange(d->pendingImport, std::nullopt);

    if (!answer.ok) {
        setRateLibraryStatus(answer.refusal.value_or(SwitcherModelTr::tr("The file could not be imported.")));
        return;
    }
    if (answer.mode == QLatin1String("dryRun")) {
        ImportPreview preview;
        preview.url = pending.url;
        preview.json = pending.json;
        preview.result = answer;
        setImportPreview(std::move(preview));
        setRateLibraryStatus(std::nullopt); // the sheet speaks now
        return;
    }
    const QString summary = importSummaryText(answer, Bundle::main());
    qCInfo(lcUi, "rate library imported: %s", qUtf8Printable(summary));
    //: A file name, then what the import did ("40 new, 12 updated, 260 already known").
    setRateLibraryStatus(SwitcherModelTr::tr("Imported %1: %2").arg(displayFileName(pending.url), summary));
}

void SwitcherModel::dismissImportPreview()
{
    Batch batch(*this);
    setImportPreview(std::nullopt);
    if (d->pendingImport)
        giveUpWait(true);
    cancelImportRead();
    setRateLibraryStatus(std::nullopt);
}

void SwitcherModel::confirmImport()
{
    if (!d->importPreview)
        return;
    Batch batch(*this);
    const ImportPreview preview = *d->importPreview;
    setImportPreview(std::nullopt);
    // Sent to nobody, the request would wait for an answer that a later companion never owes.
    if (!m_switcher->link().isPeer()) {
        setRateLibraryStatus(SwitcherModelTr::tr("Connect Corvane Mac Remote to import a Rate Library."));
        return;
    }
    d->pendingImport = Private::PendingImport{preview.url, preview.json, QStringLiteral("apply")};
    setBusy(true);
    //: The placeholder is a file name.
    setRateLibraryStatus(SwitcherModelTr::tr("Importing %1…").arg(displayFileName(preview.url)));
    armAnswerTimeout();
    m_switcher->importRateLibrary(preview.json, QStringLiteral("apply"));
}

// The local-file scan.

void SwitcherModel::scanLocalFiles()
{
    if (!m_switcher->link().isPeer() || std::holds_alternative<LocalScanScanning>(d->localScan))
        return;
    Batch batch(*this);
    // A file operation's last word would hide the scan's own sentences; one still waiting stays.
    if (!d->rateLibraryBusy && !d->exportWriting && !d->importReading)
        setRateLibraryStatus(std::nullopt);
    setLocalScan(LocalScanScanning{});
    if (!m_platform.musicApp) {
        localFilesScanned(SwitcherModelTr::tr("Music.app isn't running"));
        return;
    }
    QPointer<SwitcherModel> self(this);
    m_platform.musicApp->scanLocalFiles([self](MusicApp::ScanResult result) {
        if (self)
            self->localFilesScanned(result);
    });
}

void SwitcherModel::localFilesScanned(const MusicApp::ScanResult &result)
{
    // A scan given up (the companion left meanwhile) reports into nothing.
    if (!std::holds_alternative<LocalScanScanning>(d->localScan))
        return;
    if (const QString *failure = std::get_if<QString>(&result)) {
        endScan(LocalScanFailed{*failure});
        return;
    }
    const auto &rows = std::get<QList<SwitcherProtocol::LocalFileRow>>(result);
    if (rows.isEmpty()) {
        endScan(LocalScanDone{SwitcherProtocol::LocalFilesResult{}});
        return;
    }
    qCInfo(lcUi, "local file scan: sending %lld rows", qint64(rows.size()));
    m_switcher->sendLocalFiles(rows);
    d->clock->schedule(localScanTimeoutSlot, localScanAnswerTimeoutMs, [this] {
        if (!std::holds_alternative<LocalScanScanning>(d->localScan))
            return;
        qCWarning(lcUi, "local file scan: no result from the companion");
        //: Why a local file scan failed: the companion never sent its result.
        endScan(LocalScanFailed{SwitcherModelTr::tr("Corvane Mac Remote did not answer")});
    });
}

void SwitcherModel::localFilesResultArrived(const SwitcherProtocol::LocalFilesResult &result)
{
    if (!std::holds_alternative<LocalScanScanning>(d->localScan)) {
        qCInfo(lcUi, "local files result with no scan running; ignored");
        return;
    }
    endScan(LocalScanDone{result});
}

void SwitcherModel::endScan(LocalScanState state)
{
    Batch batch(*this);
    d->clock->cancel(localScanTimeoutSlot);
    // The scan's sentence is the latest word: an import's or export's status from before it
    // would hide it, also one that still waits and whose outcome will only follow.
    setRateLibraryStatus(std::nullopt);
    setLocalScan(std::move(state));
}

// The history's CSV export.

std::optional<QString> SwitcherModel::exportHistoryCSV()
{
    if (!m_platform.filePanels)
        return std::nullopt;
    const std::optional<QString> path =
        m_platform.filePanels->chooseCsvDestination(QStringLiteral("Corvane Zuvaradi Playback History.csv"));
    if (!path || path->isEmpty())
        return std::nullopt;
    const QString csv = PlaybackHistory::csvText(m_switcher->history().entries());
    const QString error = writeAtomically(*path, csv.toUtf8());
    if (error.isEmpty())
        return std::nullopt;
    qCCritical(lcHistory, "history export failed — %s", qUtf8Printable(error));
    //: Why a CSV export failed. The placeholders are the chosen file's path and the system's
    //: reason. The export writes a whole new file or nothing, so a file already there is unchanged.
    return SwitcherModelTr::tr(
               "%1 could not be written: %2. A file that was already there is left as it was.")
        .arg(QDir::toNativeSeparators(*path), error);
}
