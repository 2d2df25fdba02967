#pragma once

// What the Rate Library window's footer shows and offers, as plain values: the notice or the
// status line, the scan button and the gear menu. The footer widget only draws these.

#include "LearnedRatesView.h"
#include "RateLibraryDialogs.h"
#include "RateLibraryMenus.h"
#include "SwitcherModel.h"

#include <QString>

#include <functional>
#include <optional>

namespace RateLibrary {

// The counts of the last status rule: rows shown of all rows, distinct tracks, pinned rows.
struct LibraryCounts {
    qsizetype shown = 0;
    qsizetype total = 0;
    qsizetype tracks = 0;
    qsizetype pinned = 0;
};
// Counted over the whole Rate Library (none: all zero); `shown` is the visible rows' number.
LibraryCounts libraryCounts(const LibraryInputs &inputs, std::size_t shown);

// The footer's leading text when no notice shows: the first rule that applies of the file
// operation's status, the scan's failure, its result, its progress and the counts.
QString statusLine(const std::optional<QString> &rateLibraryStatus, const SwitcherModel::LocalScanState &scan,
                   const LibraryCounts &counts);

struct ScanButton {
    QString title;
    bool enabled = false;
    bool operator==(const ScanButton &) const = default;
};
ScanButton scanButton(bool companionConnected, const SwitcherModel::LocalScanState &scan, bool musicRunning);
QString scanButtonHelp();

// Everything the footer shows, from leading to trailing.
struct FooterItems {
    std::optional<QString> notice; // when set, the notice row stands where the status line would
    QString statusLine;
    ScanButton scan;
    bool menuEnabled = false;
};
// Reads the companion link's state straight from the engine, as the window's controls must.
FooterItems footerBar(const SwitcherModel &model, const LibraryCounts &counts);

// What the gear menu's items do.
struct LibraryCommands {
    std::function<void()> revealLibraryFile;
    std::function<void()> exportRateLibrary;
    std::function<void()> chooseImportFile;
    std::function<void(Confirmation)> confirm; // raises the dialog only
};
MenuItems libraryMenuItems(const LibraryCommands &commands);
// The menu's commands over the model; `confirm` comes from the window that shows the dialogs.
LibraryCommands libraryCommands(SwitcherModel &model, std::function<void(Confirmation)> confirm);

// Asks the file manager to show the companion's Rate Library file.
void revealLibraryFile(SwitcherModel &model);

} // namespace RateLibrary
