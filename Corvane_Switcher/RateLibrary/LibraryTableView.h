#pragma once

#include "LearnedRatesView.h"
#include "RateLibraryCells/RateLibraryDelegates.h"

#include <QTableView>

class LearnedRatesTableModel;

// The Rate Library table: six columns at their widths, drawn cells, fixed row heights (so that a
// large library scrolls and resets quickly), multiple selection and a sortable header. Track and
// Album share the room the other four leave.
class LibraryTableView final : public QTableView {
    Q_OBJECT
public:
    LibraryTableView(LearnedRatesTableModel *model, RateCellDelegate::OpenMenu openPinMenu,
                     QWidget *parent = nullptr);

    // Puts the header's sort indicator on the first comparator's column.
    void showSortOrder(const RateLibrary::SortOrder &order);
    void fitColumns();

protected:
    void resizeEvent(QResizeEvent *event) override;
};
