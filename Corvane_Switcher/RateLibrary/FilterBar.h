#pragma once

// The row of controls that chooses which rows the table shows. It only reports choices; the
// window writes them into its view state and re-filters at once.

#include "LearnedRatesView.h"
#include "RateLibraryMenus.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class RateMenuModel;

class FilterBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int wideSearchWidth = 200;
    static constexpr int narrowSearchWidth = 320;

    explicit FilterBar(QWidget *parent = nullptr);

    // Up to this many items the rate menu is as wide as its widest and opens Qt's own list; past
    // it, it is as wide as the longest of its first and last items and opens a list that reads
    // only the rows in view (ListMenu), rather than measuring every item.
    static constexpr int measuredRateItems = 64;

    // Shows the view state and the menus' current content (the rate menu's as `rateChoices`,
    // which the menu writes as `rateMenuItems`); reports nothing back.
    void showState(const RateLibrary::LearnedRatesWindowView &view,
                   const QList<RateLibrary::TierMenuItem> &tierItems, const QList<double> &rateChoices);

    bool isWide() const { return m_wide; }
    // The least widths that hold each arrangement, margins included.
    int wideWidth() const;
    int narrowWidth() const;
    // The narrow arrangement's, whichever is shown: the wide one is only chosen when it fits, so
    // it must never hold the window wider than the narrow one needs.
    QSize minimumSizeHint() const override;
    QComboBox *tierMenu() const { return m_tierMenu; }
    QComboBox *rateMenu() const { return m_rateMenu; }
    QLineEdit *searchField() const { return m_search; }
    QAbstractButton *kindSegment(RateLibrary::KindFilter kind) const;

signals:
    void tierFilterChosen(const RateLibrary::TierFilter &filter);
    void kindFilterChosen(RateLibrary::KindFilter kind);
    void rateFilterChosen(double rate);
    void searchEdited(const QString &text);

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange(int width);

    QWidget *m_choosers = nullptr;
    QVBoxLayout *m_column = nullptr;
    QHBoxLayout *m_row = nullptr;
    QLabel *m_tierLabel = nullptr;
    QComboBox *m_tierMenu = nullptr;
    QList<RateLibrary::TierFilter> m_tierChoices; // by combo box index; separators hold none
    QButtonGroup *m_kinds = nullptr;
    QComboBox *m_rateMenu = nullptr;
    RateMenuModel *m_rateItems = nullptr;
    QLineEdit *m_search = nullptr;
    bool m_wide = false;
    bool m_showing = false;
};
