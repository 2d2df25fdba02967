#pragma once

// A menu over more entries than a menu of items shows well: one scrolling list as its content.
// Opening it lays out only the rows in view and reads an entry's text only while its row shows,
// however many entries a companion sent. The chosen entry carries a check mark and is the list's
// current row, in the middle of the view; a click or Return picks a row and closes the menu.

#include <QString>

#include <functional>

class QMenu;
class QPoint;
class QWidget;

namespace ListMenu {

// The list's height in rows, when there are that many entries.
inline constexpr int rows = 16;

struct Entries {
    qsizetype count = 0;
    std::function<QString(qsizetype)> text; // read only for the rows that show
    qsizetype checked = -1;
    std::function<void(qsizetype)> pick; // runs once the menu has closed
};

// A menu `width` wide over `entries`; it deletes itself once closed.
QMenu *make(Entries entries, int width, QWidget *parent);

// Pops `menu` up at `at` (global), its list taking the keys: arrows, type-ahead and Return
// choose in it.
void popUp(QMenu *menu, const QPoint &at);

} // namespace ListMenu
