#pragma once

// The explainer above the Rate Library's table (the header area's cards): the two conditions,
// the prediction order, the latest play line and, while expanded, the recent plays. It reads
// the model and the window's view state, writes only the view state it owns (`deviceUID`,
// `showAtmosInfo`, `hoveredRowID`, `historyExpanded`), and sends the two Dolby Atmos commands.
// Its own changes repaint the header only; the table is neither filtered nor reset for them.

#include "RateLibrary/LearnedRatesView.h"

#include <QDateTime>
#include <QScrollArea>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

class AtmosInfoPopover;
class LatestPlayStrip;
class MusicSettingCondition;
class OutputCondition;
class PredictionOrder;
class RecentPlaysTable;
class SwitcherModel;

namespace RateLibrary {
class CardFrame;
}

class PredictionExplainer final : public QWidget {
    Q_OBJECT
public:
    static constexpr int toggleAnimationMs = 150;

    PredictionExplainer(SwitcherModel &model, RateLibrary::LearnedRatesWindowView &view,
                        QWidget *parent = nullptr);
    ~PredictionExplainer() override;

    // Shows the model's values anew (the window calls this on every change it hears of).
    void refresh(const RateLibrary::LibraryInputs &inputs);
    // The clock of the latest play's relative time; tests give a fixed one.
    void setNow(std::function<QDateTime()> now);

    // The view state writes the explainer's controls make.
    void chooseOutput(const QString &uid);
    void setShowAtmosInfo(bool show);
    void setHoveredRowID(std::optional<QUuid> id);
    void toggleHistory();
    void showAllHistory();

    MusicSettingCondition *musicSetting() const { return m_musicSetting; }
    OutputCondition *outputCondition() const { return m_output; }
    PredictionOrder *predictionOrder() const { return m_order; }
    LatestPlayStrip *latestPlay() const { return m_strip; }
    RecentPlaysTable *recentPlays() const { return m_recent; }
    QWidget *recentPlaysCard() const;
    AtmosInfoPopover *atmosInfo() const { return m_popover; }
    QVariantAnimation &toggleAnimation() { return m_toggle; }

private:
    void showOutput();
    void showPlays();
    void showHover();
    void showExpansion();

    SwitcherModel &m_model;
    RateLibrary::LearnedRatesWindowView &m_view;
    RateLibrary::LibraryInputs m_inputs;
    std::function<QDateTime()> m_now;

    MusicSettingCondition *m_musicSetting = nullptr;
    OutputCondition *m_output = nullptr;
    PredictionOrder *m_order = nullptr;
    LatestPlayStrip *m_strip = nullptr;
    RateLibrary::CardFrame *m_recentCard = nullptr;
    RecentPlaysTable *m_recent = nullptr;
    AtmosInfoPopover *m_popover = nullptr; // made when first opened
    QVariantAnimation m_toggle;
};

// The explainer in a scroll area that asks for the explainer's whole height and, where the
// window is too short for it and the table, gives way and scrolls instead.
class ExplainerScrollArea final : public QScrollArea {
public:
    static constexpr int minimumVisibleHeight = 120;

    explicit ExplainerScrollArea(PredictionExplainer *explainer, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int contentHeight(int width) const;

    int m_lastHeight = -1;
};
