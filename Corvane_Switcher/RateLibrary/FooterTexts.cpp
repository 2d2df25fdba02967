#include "FooterTexts.h"

#include "RateLibraryIndex.h"
#include "RateLibraryTr.h"

#include <QPointer>
#include <QStringList>

namespace RateLibrary {

using RateLibraryText::Tr;

LibraryCounts libraryCounts(const LibraryInputs &inputs, std::size_t shown)
{
    LibraryCounts counts;
    counts.shown = qsizetype(shown);
    if (inputs.library) {
        counts.total = inputs.library->size();
        counts.tracks = inputs.library->trackCount();
        counts.pinned = inputs.library->pinnedCount();
    }
    return counts;
}

QString statusLine(const std::optional<QString> &rateLibraryStatus, const SwitcherModel::LocalScanState &scan,
                   const LibraryCounts &counts)
{
    if (rateLibraryStatus)
        return *rateLibraryStatus;
    if (const auto *failed = std::get_if<SwitcherModel::LocalScanFailed>(&scan))
        //: The placeholder is the reason, as macOS or Music.app gave it.
        return Tr::tr("Local file scan failed — %1").arg(failed->text);
    if (const auto *done = std::get_if<SwitcherModel::LocalScanDone>(&scan)) {
        const SwitcherProtocol::LocalFilesResult &r = done->result;
        if (r.scanned == 0)
            return Tr::tr("No local files in Music.app — every track streams, so there was nothing to scan");
        // Each count is a text of its own, so that each takes its language's plural form.
        //: Local file scan result, inside "Scanned %1: …": local files read from Music.app.
        const QString scanned = Tr::tr("%n local files", nullptr, int(r.scanned));
        //: Local file scan result: files that Corvane's library knows.
        const QString matched = Tr::tr("%n matched Corvane's library", nullptr, int(r.matched));
        //: Local file scan result: rates stored.
        const QString stored = Tr::tr("%n rates stored", nullptr, int(r.updated));
        if (r.unmatched > 0)
            //: Local file scan result: files scanned, files matched, rates stored, files not in Corvane's
            //: library.
            return Tr::tr("Scanned %1: %2, %3, %4")
                .arg(scanned, matched, stored,
                     //: Local file scan result: files not in Corvane's library.
                     Tr::tr("%n not in the library", nullptr, int(r.unmatched)));
        //: Local file scan result: files scanned, files matched, rates stored.
        return Tr::tr("Scanned %1: %2, %3").arg(scanned, matched, stored);
    }
    if (std::holds_alternative<SwitcherModel::LocalScanScanning>(scan))
        return Tr::tr("Reading local files from Music…");

    QStringList parts;
    if (counts.shown == counts.total)
        //: Rate Library row count.
        parts << Tr::tr("%n rows", nullptr, int(counts.shown));
    else
        //: Rate Library rows shown, of all rows.
        parts << Tr::tr("%1 of %n rows", nullptr, int(counts.total)).arg(counts.shown);
    if (counts.tracks != counts.total)
        //: Rate Library track count.
        parts << Tr::tr("%n tracks", nullptr, int(counts.tracks));
    if (counts.pinned > 0)
        //: Rate Library: rows pinned.
        parts << Tr::tr("%n pinned", nullptr, int(counts.pinned));
    return parts.join(QStringLiteral(" · "));
}

ScanButton scanButton(bool companionConnected, const SwitcherModel::LocalScanState &scan, bool musicRunning)
{
    const bool scanning = std::holds_alternative<SwitcherModel::LocalScanScanning>(scan);
    return {scanning ? Tr::tr("Scanning…") : Tr::tr("Scan Local Files"),
            companionConnected && !scanning && musicRunning};
}

QString scanButtonHelp()
{
    return Tr::tr("Reads every local file's sample rate from Music.app and stores it, so local files switch "
                  "correctly on their first play.");
}

FooterItems footerBar(const SwitcherModel &model, const LibraryCounts &counts)
{
    const bool peer = model.switcher().link().isPeer();
    FooterItems items;
    items.notice = model.visibleRateLibraryNotice();
    items.statusLine = statusLine(model.rateLibraryStatus(), model.localScan(), counts);
    items.scan = scanButton(peer, model.localScan(), model.musicRunning());
    items.menuEnabled = peer;
    return items;
}

MenuItems libraryMenuItems(const LibraryCommands &commands)
{
    const auto item = [](QString title, std::function<void()> action) {
        MenuItem entry;
        entry.title = std::move(title);
        entry.action = std::move(action);
        return entry;
    };
    const auto confirm = [&commands](Confirmation kind) {
        return [confirm = commands.confirm, kind] { confirm(kind); };
    };
    return {
        item(Tr::tr("Show File in Finder"), commands.revealLibraryFile),
        MenuItem::separator(),
        item(Tr::tr("Export Backup…"), commands.exportRateLibrary),
        item(Tr::tr("Import…"), commands.chooseImportFile),
        MenuItem::separator(),
        item(Tr::tr("Remove All Pins…"), confirm(Confirmation::removePins)),
        item(Tr::tr("Clear Rate Library…"), confirm(Confirmation::forgetAll)),
        MenuItem::separator(),
        item(Tr::tr("Delete Everything…"), confirm(Confirmation::reset)),
    };
}

LibraryCommands libraryCommands(SwitcherModel &model, std::function<void(Confirmation)> confirm)
{
    QPointer<SwitcherModel> target(&model);
    return {
        [target] {
            if (target)
                revealLibraryFile(*target);
        },
        [target] {
            if (target)
                target->exportRateLibrary();
        },
        [target] {
            if (target)
                target->chooseImportFile();
        },
        std::move(confirm),
    };
}

void revealLibraryFile(SwitcherModel &model)
{
    if (Workspace *workspace = model.platform().workspace)
        workspace->revealFile(SwitcherModel::companionLearnedFileURL());
}

} // namespace RateLibrary
