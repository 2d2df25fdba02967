#pragma once

// The window's menus as plain data: what each item says, whether it is checked, and what it does.
// Tests read and trigger them without opening anything; the widgets turn them into QMenus.

#include "LearnedRatesView.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QMenu;
class QWidget;
class RateLibraryIndex;

namespace RateLibrary {

struct MenuItem {
    enum class Kind { action, separator, submenu };
    Kind kind = Kind::action;
    QString title;
    bool checked = false;
    bool destructive = false;
    QList<MenuItem> children; // a submenu's items
    std::function<void()> action;

    static MenuItem separator() { return {Kind::separator, {}, false, false, {}, {}}; }
};
using MenuItems = QList<MenuItem>;

// What the row actions call; each only sends a message to the companion.
struct RowCommands {
    std::function<void(const Row &row, double rate)> pinRate;
    std::function<void(const SwitcherProtocol::PinLearnedRate &pin)> pinLearnedRate;
    std::function<void(const QString &id, const QString &tier)> unpinLearnedRate;
    std::function<void(const QString &id, const QString &tier)> forgetLearnedRate;
};

// The rate cell's pull-down for one row; `rates` are the attached output's standard rates.
MenuItems rowPinMenu(const Row &row, const QList<double> &rates, const RowCommands &commands);

// The rows of `visible` (table order) whose Keyed id is in `ids`.
QList<Row> selectedRows(const RateLibraryIndex &library, const std::vector<int> &visible,
                        const QSet<QString> &ids);
// The table's context menu for the selected rows.
MenuItems selectionMenu(const QList<Row> &selected, const QList<double> &rates, const RowCommands &commands);

// The "Show rates for" menu: an item is a title and the filter it selects, or a separator.
struct TierMenuItem {
    bool separator = false;
    QString title;
    TierFilter selects;
};
QList<TierMenuItem> tierMenuItems(const std::optional<SwitcherProtocol::MusicQuality> &quality);
QString currentSettingTitle(const std::optional<SwitcherProtocol::MusicQuality> &quality);

// A QMenu showing `items`; choosing an item runs its action. Titles show as they are written,
// an output's name among them: none marks a shortcut letter.
QMenu *makeMenu(const MenuItems &items, QWidget *parent);
// Replaces what `menu` holds with `items`.
void fillMenu(QMenu *menu, const MenuItems &items);

} // namespace RateLibrary
