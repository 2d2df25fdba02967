#pragma once

#include "GroupStyle.h"
#include "SwitchTimingView.h"

#include <QAbstractButton>
#include <QHash>
#include <QWidget>

#include <functional>

class ToneLabel;

// One card's tab: a dot in the colour of the card's group now and the card's short name, on a
// capsule styled by its section; the shown card's tab is filled with the brand gradient. While a
// pick changes the selected tab, the tab shows both looks, the selected one over the other at the
// opacity of how selected it is shown, and its width goes from the one to the other.
class TabButton final : public QAbstractButton {
    Q_OBJECT
public:
    TabButton(const QString &cardId, QWidget *parent = nullptr);

    QString cardId() const { return m_cardId; }
    // The tab's look unselected and selected; `selected`: the one it is, shown at once.
    void setLooks(const GroupStyle::TabStyle &unselected, const GroupStyle::TabStyle &selected,
                  bool isSelected, double textScale);
    // The look of what the tab is.
    const GroupStyle::TabStyle &tabStyle() const { return m_selected ? m_selectedLook : m_unselectedLook; }
    bool isSelected() const { return m_selected; }

    // How selected the tab looks: 0 unselected, 1 selected, between while a pick changes it.
    double shownSelection() const { return m_shown; }
    void setShownSelection(double shown);
    // A change of look starts from what is shown and goes to what the tab is; showAtOnce() skips
    // it.
    void beginChange() { m_from = m_shown; }
    void setChangeProgress(double progress);
    void showAtOnce();

    // Where a look puts its dot (none: empty) and its text, the dot at the leading edge.
    QRectF dotRect(const GroupStyle::TabStyle &look) const;
    QRectF textRect(const GroupStyle::TabStyle &look) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    double widthOf(const GroupStyle::TabStyle &look, const QFont &font) const;
    void paintLook(QPainter &painter, const GroupStyle::TabStyle &look, const QFont &font);

    QString m_cardId;
    GroupStyle::TabStyle m_unselectedLook;
    GroupStyle::TabStyle m_selectedLook;
    bool m_selected = false;
    double m_shown = 0;
    double m_from = 0;
    QFont m_unselectedFont;
    QFont m_selectedFont;
};

// The row of card tabs, one captioned section per group in the order first, fallback, also,
// always, wrapped onto more rows when the window is narrow.
class TabStrip final : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    // Shows the table's cards, `shownId` selected, each tab's dot from the card's group now. A new
    // selection shows at once unless `change`: then the looks change with setChangeProgress(), from
    // what each tab shows now (a change that moves no tab leaves them as they are).
    void setCards(const QList<SwitchTimingView::Card> &cards, const QString &shownId, const TimingInputs &in,
                  double textScale, bool change = false);
    QString selectedId() const { return m_selectedId; }
    // 0 to 1, already eased.
    void setChangeProgress(double progress);
    void endChange() { setChangeProgress(1); }
    std::function<void(const QString &cardId)> onSelect;

    TabButton *tab(const QString &cardId) const { return m_tabs.value(cardId); }
    QStringList captions() const;

private:
    void build(const QList<SwitchTimingView::Card> &cards);

    QStringList m_cardIds;
    QString m_selectedId;
    QHash<QString, TabButton *> m_tabs;
    QList<ToneLabel *> m_captions;
    QList<QString> m_captionTexts;
    double m_scale = 0;
};
