#pragma once

#include "GroupStyle.h"
#include "SwitchTimingView.h"

#include <QAbstractButton>
#include <QHash>
#include <QWidget>

#include <functional>

class ToneLabel;

// One card's tab: a dot in the colour of the card's group now and the card's short name, on a
// capsule styled by its section; the shown card's tab is filled with the brand gradient.
class TabButton final : public QAbstractButton {
    Q_OBJECT
public:
    TabButton(const QString &cardId, QWidget *parent = nullptr);

    QString cardId() const { return m_cardId; }
    void setStyleAndScale(const GroupStyle::TabStyle &style, bool selected, double textScale);
    const GroupStyle::TabStyle &tabStyle() const { return m_style; }
    bool isSelected() const { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_cardId;
    GroupStyle::TabStyle m_style;
    bool m_selected = false;
    QFont m_font;
};

// The row of card tabs, one captioned section per group in the order first, fallback, also,
// always, wrapped onto more rows when the window is narrow.
class TabStrip final : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    // Shows the table's cards, `shownId` selected, each tab's dot from the card's group now.
    void setCards(const QList<SwitchTimingView::Card> &cards, const QString &shownId, const TimingInputs &in,
                  double textScale);
    std::function<void(const QString &cardId)> onSelect;

    TabButton *tab(const QString &cardId) const { return m_tabs.value(cardId); }
    QStringList captions() const;

private:
    void build(const QList<SwitchTimingView::Card> &cards);

    QStringList m_cardIds;
    QHash<QString, TabButton *> m_tabs;
    QList<ToneLabel *> m_captions;
    QList<QString> m_captionTexts;
    double m_scale = 0;
};
