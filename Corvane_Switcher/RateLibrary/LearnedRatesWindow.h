#pragma once

// The Rate Library window ("learned"): header area, filter bar, the table or an empty state, and
// the footer, over the shared model. It holds only view state; every action goes to the
// companion through the engine, and the table changes when the companion's answer arrives.

#include "LearnedRatesView.h"
#include "RateLibraryDialogs.h"
#include "RateLibraryMenus.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class EmptyStateView;
class FilterBar;
class FooterBar;
class ImportPreviewBinding;
class ImportPreviewSheet;
class LearnedRatesTableModel;
class PredictionExplainer;
class QStackedWidget;
class QTableView;
class QVBoxLayout;
class SwitcherModel;

class LearnedRatesWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize minimumWindowSize{1000, 640};
    // A Rate Library this large (in rows and outputs, or in the characters of its titles, artists
    // and albums) is prepared for searching and sorting off the main thread, so that its arrival
    // never freezes the window; until it is ready the previous one stays on show.
    static constexpr int backgroundPreparationRows = 20000;
    static constexpr qsizetype backgroundPreparationText = 1'000'000;
    static bool preparedInBackground(const SwitcherProtocol::LearnedRates &rates);
    // The least height of the table (or the empty state) below a tall explainer.
    static constexpr int minimumTableHeight = 160;

    explicit LearnedRatesWindow(SwitcherModel &model, QWidget *parent = nullptr);
    ~LearnedRatesWindow() override;

    const RateLibrary::LearnedRatesWindowView &view() const { return m_view; }
    const RateLibrary::LibraryInputs &inputs() const { return m_inputs; }
    // Reads the model again and redraws; every change of the model or the view state ends here.
    void refresh();

    // View state writes, each followed by a redraw.
    void setTierFilter(const RateLibrary::TierFilter &filter);
    void setKindFilter(RateLibrary::KindFilter kind);
    void setRateFilter(double rate);
    void setSearch(const QString &text);
    void setSortOrder(const RateLibrary::SortOrder &order);

    // Raises a dialog flag and shows its dialog (the footer's gear menu calls this).
    void presentConfirmation(RateLibrary::Confirmation kind);
    QMessageBox *shownConfirmation() const { return m_dialog; }

    // The standard rates the pin menus offer: the attached output's, none without one.
    QList<double> pinRates() const;
    RateLibrary::MenuItems pinMenuForTableRow(int row) const;
    RateLibrary::MenuItems selectionMenuFor(const QSet<QString> &ids) const;

    RateLibrary::MiddleRegion shownRegion() const { return m_region; }
    QTableView *table() const { return m_table; }
    LearnedRatesTableModel *tableModel() const { return m_tableModel; }
    FilterBar *filterBar() const { return m_filterBar; }
    EmptyStateView *emptyState() const { return m_emptyState; }
    // The places the explainer cards and the footer bar go.
    QVBoxLayout *headerArea() const { return m_headerArea; }
    PredictionExplainer *explainer() const { return m_explainer; }
    // How many times the rows were filtered for the table (tests and benchmarks count them).
    int filterPasses() const { return m_filterPasses; }
    FooterBar *footerBar() const { return m_footer; }
    // The import preview sheet while it is shown.
    ImportPreviewSheet *importPreviewSheet() const;

    // The clock of the Confirmed column; tests give a fixed one.
    void setNow(std::function<QDateTime()> now);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildTable();
    void startSubscription();
    void endSubscription();
    void userSelectionChanged();
    void restoreSelection();
    void showContextMenu(const QPoint &pos);
    void showPinMenu(const QModelIndex &index, const QPoint &globalPos);
    RateLibrary::RowCommands rowCommands() const;
    std::shared_ptr<const RateLibraryIndex>
    indexFor(const std::optional<SwitcherProtocol::LearnedRates> &rates);
    void startPreparing(const SwitcherProtocol::LearnedRates &rates);
    void adoptPrepared(std::shared_ptr<const RateLibraryIndex> index);
    static void releaseOffMainThread(std::shared_ptr<const RateLibraryIndex> index);

    QPointer<SwitcherModel> m_model;
    RateLibrary::LearnedRatesWindowView m_view;
    RateLibrary::LibraryInputs m_inputs;
    RateLibrary::MiddleRegion m_region = RateLibrary::MiddleRegion::needsCompanion;
    std::optional<SwitcherProtocol::LearnedRates> m_preparing; // the one being prepared off the main thread

    QVBoxLayout *m_headerArea = nullptr;
    PredictionExplainer *m_explainer = nullptr;
    int m_filterPasses = 0;
    FilterBar *m_filterBar = nullptr;
    QStackedWidget *m_middle = nullptr;
    EmptyStateView *m_emptyState = nullptr;
    QTableView *m_table = nullptr;
    LearnedRatesTableModel *m_tableModel = nullptr;
    FooterBar *m_footer = nullptr;
    QPointer<QMessageBox> m_dialog;
    bool m_subscribed = false;
    bool m_restoringSelection = false;
    // Let go first in the destructor: a sheet still shown then dismisses its preview.
    std::unique_ptr<ImportPreviewBinding> m_importPreview;
};
