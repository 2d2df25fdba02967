#pragma once

#include "SwitchTimingView.h"
#include "SwitcherModel.h"

#include <QVariantAnimation>
#include <QWidget>

#include <memory>

class CardPanel;
class PanelSlot;
class QScrollArea;
class RailLegend;
class SettingFlash;
class SettingRow;
class TabStrip;
class ToneLabel;

// The "timing" window's root view: the introduction, the Relock Time card, the legend, the tabs
// by group, the shown card's panel and a closing hint, in a vertical scroll view. Everything it
// shows is derived afresh from the model whenever the model changes.
class SwitchTimingWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int scrollMs = 250;
    // A picked tab or case changes the tab's look, the panel and its height over this long,
    // ease-in-out.
    static constexpr int panelFadeMs = 150;

    // `clock` times the flash of a setting row; none: real timers.
    explicit SwitchTimingWindow(SwitcherModel &model, SwitcherModel::Clock *clock = nullptr,
                                QWidget *parent = nullptr);
    ~SwitchTimingWindow() override;

    const SwitchTimingView &view() const { return m_view; }
    QString shownCardId() const { return m_shownCard; }
    QString shownCaseId() const { return m_shownCase; }

    // What a tab, a case chip and a click on a label that names a setting do.
    void showCard(const QString &cardId);
    void chooseCase(const QString &caseId);
    void flashSetting(SettingKey key);

    QScrollArea *scrollArea() const { return m_scroll; }
    QWidget *relockSection() const { return m_relockSection; }
    SettingRow *relockRow() const { return m_relockRow; }
    ToneLabel *introduction() const { return m_intro; }
    RailLegend *legend() const { return m_legend; }
    TabStrip *tabStrip() const { return m_tabs; }
    CardPanel *cardPanel() const;
    PanelSlot *panelSlot() const { return m_slot; }
    ToneLabel *closingHint() const { return m_hint; }
    // Every row of `key` on show (the Relock Time's card and the panel).
    QList<SettingRow *> settingRows(SettingKey key) const;
    SettingFlash &flash() { return *m_flash; }
    QVariantAnimation &scrollAnimation() { return m_scrollAnimation; }
    // The change a picked tab or case makes: the new panel takes clicks at once under a picture of
    // what was shown fading out, which neither takes clicks nor focus; the panel's height and the
    // tabs' looks go from what was shown to the new.
    QVariantAnimation &panelFade() { return m_panelFade; }
    QWidget *fadingPanel() const;
    // How many times the card table was built (once per model change, tab or chip).
    int cardTableBuilds() const { return m_builds; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void refresh();
    void update(const QList<SwitchTimingView::Card> &cards, const TimingInputs &in);
    void flashChanged();
    void endPanelFade();

    SwitcherModel &m_model;
    SwitchTimingView m_view;
    std::unique_ptr<SwitcherModel::Clock> m_ownClock;
    std::unique_ptr<SettingFlash> m_flash;
    QString m_shownCard;
    QString m_shownCase;
    int m_builds = 0;
    bool m_refreshing = false;
    bool m_refreshAgain = false;
    bool m_picked = false; // the refresh under way follows a picked tab or case

    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    ToneLabel *m_intro = nullptr;
    QWidget *m_relockSection = nullptr;
    ToneLabel *m_relockTitle = nullptr;
    ToneLabel *m_relockText = nullptr;
    SettingRow *m_relockRow = nullptr;
    RailLegend *m_legend = nullptr;
    TabStrip *m_tabs = nullptr;
    PanelSlot *m_slot = nullptr;
    ToneLabel *m_hint = nullptr;
    QVariantAnimation m_scrollAnimation;
    QVariantAnimation m_panelFade;
};
