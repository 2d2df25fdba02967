#pragma once

#include "PlaybackHistoryTableModel.h"
#include "PlaybackHistoryWindowView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QItemSelection;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QStackedWidget;
class QTableView;
class SwitcherModel;

// The "history" window's root view: the filter and search row, the table (or one of its two
// empty states) and the footer with the counts and the two commands.
class PlaybackHistoryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PlaybackHistoryWindow(SwitcherModel &model, QWidget *parent = nullptr);

    const PlaybackHistoryWindowView &view() const { return m_view; }
    PlaybackHistoryWindowView::Content content() const;
    void setFilter(PlaybackHistoryWindowView::Filter filter);
    void setSearch(const QString &text);

    // "Clear the playback history?", with its one destructive button; built on demand so that
    // the flow can be driven without a modal loop.
    static QMessageBox *makeClearConfirmation(QWidget *parent);
    // The confirmation while it is presented, else null.
    QMessageBox *clearConfirmation() const;
    // The message that an export failed, while it is presented, else null.
    QMessageBox *exportFailure() const;

    QTableView *table() const { return m_tableView; }
    PlaybackHistoryTableModel *tableModel() const { return m_tableModel; }
    QLineEdit *searchField() const { return m_search; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *exportButton() const { return m_export; }
    QAbstractButton *filterButton(PlaybackHistoryWindowView::Filter filter) const;
    QString summaryText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeToolbar();
    QWidget *makeContent();
    QWidget *makeFooter();
    void modelChanged();
    void refresh();
    void restoreSelection();
    void restoreCurrent(const QUuid &id);
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void fitColumns();
    void clampColumn(int column, int width);
    void requestClear();
    void exportCsv();

    SwitcherModel &m_model;
    PlaybackHistoryWindowView m_view;
    QList<PlaybackHistory::Entry> m_shownHistory;
    PlaybackHistorySearchText m_searchText;
    PlaybackHistoryTableModel::MeasuredColumns m_measured{};
    bool m_restoringSelection = false;

    QButtonGroup *m_filters = nullptr;
    QLineEdit *m_search = nullptr;
    QStackedWidget *m_pages = nullptr;
    QTableView *m_tableView = nullptr;
    PlaybackHistoryTableModel *m_tableModel = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_export = nullptr;
    QPointer<QMessageBox> m_confirmation;
    QPointer<QMessageBox> m_exportFailure;
};
