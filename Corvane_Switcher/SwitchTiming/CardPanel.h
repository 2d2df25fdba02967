#pragma once

#include "SwitchTimingView.h"
#include "TimelineRail.h"

#include <QWidget>

#include <functional>

class CardHeader;
class CasePicker;
class LoadFiguresCard;
class RailSteps;
class SettingRow;
class SwitcherModel;
class ToneLabel;

// The shown card: its heading with the card's control and badge, the case picker, the case's
// note, its rail and numbered steps, and the settings the case explains with the load figures.
// A panel stands for one card and one case; showing another makes a new panel.
class CardPanel final : public QWidget {
    Q_OBJECT
public:
    CardPanel(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase,
              SwitcherModel &model, QWidget *parent = nullptr);

    // "fade" + "found": the card's id followed by the case's.
    static QString identity(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase);
    QString identity() const { return m_identity; }

    // Shows the card and case as the table has them now.
    void refresh(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase,
                 SwitchTimingView::Group now, const TimingInputs &in, const RailParams &rail,
                 double textScale);

    std::function<void(SettingKey)> onSetting;
    std::function<void(const QString &caseId)> onChooseCase;

    CardHeader *header() const { return m_header; }
    CasePicker *casePicker() const { return m_picker; }
    ToneLabel *note() const { return m_note; }
    TimelineRail *rail() const { return m_rail; }
    RailSteps *steps() const { return m_steps; }
    const QList<SettingRow *> &settingRows() const { return m_rows; }
    LoadFiguresCard *loadFigures() const { return m_load; }
    // Whether the divider and the settings area are there.
    bool hasSettingsArea() const { return m_settingsArea != nullptr; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_identity;
    SwitchTimingView::Group m_group = SwitchTimingView::Group::always;
    CardHeader *m_header = nullptr;
    CasePicker *m_picker = nullptr;
    ToneLabel *m_note = nullptr;
    TimelineRail *m_rail = nullptr;
    RailSteps *m_steps = nullptr;
    QWidget *m_settingsArea = nullptr;
    QList<SettingRow *> m_rows;
    LoadFiguresCard *m_load = nullptr;
};

// A hairline across the card, in the separator colour.
class Divider final : public QWidget {
public:
    explicit Divider(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {1, 1}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The panels' shape: a rounded rectangle on the panel background, outlined.
void paintPanel(QWidget &widget, SwitchTimingView::Group group);
