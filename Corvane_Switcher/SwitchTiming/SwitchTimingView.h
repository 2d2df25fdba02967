#pragma once

#include "PlaybackHistory.h"
#include "RailTypes.h"

#include <QColor>
#include <QList>
#include <QString>

#include <algorithm>
#include <optional>

class SwitcherModel;

// The settings every rail is computed from, read from the model in one go so that the card
// table is a plain function of plain values.
struct TimingInputs {
    int leadMs = 1200;             // Relock Time
    double quietWindowSec = 4.5;   // Listening Window
    double quietThresholdDb = -55; // Silence Threshold
    double quietHoldSec = 0.4;     // Minimum Quiet
    double pausePointSec = 0.4;
    bool fadeExtendPause = true;
    bool audioTap = true;      // fade-out switching, as the user set it
    bool tapSupported = false; // whether a process audio tap can run on this system
    QString boundaryMode = QStringLiteral("stop");
    int delayMs = 0; // the Delay Added: the one set, else the automatic one
    std::optional<PlaybackHistory::MusicStartStats> loadStats;

    static TimingInputs fromModel(const SwitcherModel &model);

    // Fade-out switching is on and can run here.
    bool fadeSwitching() const { return audioTap && tapSupported; }
};

// The Switch Method Visualizer's state and its card table. Everything the window shows is
// derived here from the model's settings, afresh on every call; the window only lays it out.
struct SwitchTimingView {
    enum class Group { first, fallback, also, always };
    static const QList<Group> &allGroups();

    struct CardControl {
        enum class Kind { radio, fadeToggle, none };
        Kind kind = Kind::none;
        QString mode; // the boundary mode a radio selects

        static CardControl radio(const QString &mode) { return {Kind::radio, mode}; }
        static CardControl fadeToggle() { return {Kind::fadeToggle, {}}; }
        static CardControl none() { return {Kind::none, {}}; }
        bool operator==(const CardControl &) const = default;
    };

    struct Case {
        QString id;
        QString label;
        QList<SettingKey> settings; // the setting rows under the case, in order
        QString note;
        RailSpec spec;
    };

    struct Card {
        QString id; // "fade", "stop", "pause", "lead", "none" or "pick"
        QString tab;
        QString title;
        Group group = Group::always; // the table's section; the group shown now is group(card)
        CardControl control;
        QList<Case> cases;
        bool showsLoad = false;
    };

    // Constants of the view.
    static constexpr double handOverPoint = 5.0; // seconds before the end the next track is handed over
    static constexpr double stopLag = 0.0;       // seconds after the end the Stop to Switch switch is sent
    static constexpr double laneLabelWidth = 96.0;
    static constexpr double cardPadding = 14.0;
    // The caption of the zero line on every method card.
    static QString endLabel();

    explicit SwitchTimingView(SwitcherModel *model);

    SwitcherModel *model = nullptr;
    std::optional<QString> shownID; // the card asked for; none: the window's own choice
    QString fadeCase = QStringLiteral("found");
    // Which row is lit and its timer are the window's `SettingFlash`.

    // The text size step shared with the settings window, read as it stands now.
    int textSizeIndex() const;
    double textScale() const;

    // The model's settings now (defaults without a model).
    TimingInputs inputs() const;
    double listeningLead() const { return listeningLead(inputs()); }
    double tailSpan() const { return tailSpan(inputs()); }
    double railStart() const { return railStart(inputs()); }
    Group group(const Card &card) const { return group(card, inputs()); }
    QString groupTitle(Group group) const { return groupTitle(group, inputs()); }
    QList<Card> makeCards() const { return makeCards(inputs()); }

    // The same, as plain functions of the settings.
    // When the Listening Window opens as drawn: the larger of Relock Time + 1 s and the setting.
    static double listeningLead(const TimingInputs &in);
    // How far every rail runs after zero; never below 2.6 s.
    static double tailSpan(const TimingInputs &in);
    // The left end of every lane.
    static double railStart(const TimingInputs &in);
    static double delaySec(const TimingInputs &in);
    // Music.app's typical load, or 0.9 s assumed when nothing was measured.
    static double loadSec(const TimingInputs &in);
    static bool loadAssumed(const TimingInputs &in) { return !in.loadStats.has_value(); }

    // 0.4 -> "400 ms": whole milliseconds, halves away from zero, never localized or grouped.
    static QString msText(double seconds);
    // The Silence Threshold in whole decibels, the fraction dropped: -55.5 -> "-55".
    static QString thresholdText(double db);

    static Group group(const Card &card, const TimingInputs &in);
    static QString groupTitle(Group group, const TimingInputs &in);
    // Blue, red or green for the first three groups; none for `always`.
    static std::optional<QColor> groupColor(Group group, SystemColors::Appearance appearance);

    // Appends the delay (when there is one), the load and the next track after a stop or pick.
    static void loadBands(QList<RailBand> &lane, const QString &label, const TimingInputs &in);
    static RailSpan loadSpan(const TimingInputs &in);

    static QList<Card> makeCards(const TimingInputs &in);

    // The card shown: the one asked for by `shownID`; else fade-out switching's card when it is
    // on and can run, else the selected method's; else the first. Never written back, so that
    // until a tab is clicked the shown card follows the settings.
    static qsizetype shownCardIndex(const QList<Card> &cards, const std::optional<QString> &shownID,
                                    const TimingInputs &in);
    // The case shown: the one whose id is `fadeCase`, else the first.
    static qsizetype shownCaseIndex(const Card &card, const QString &fadeCase);
    // Takes the card another window asked for (the model's `visualizerTab`) and clears the
    // request; true when there was one.
    bool adoptRequestedTab();

    // The content width W for a window (or viewport) width: never below 560.
    static double contentWidth(double width) { return std::max(560.0, width - 40.0); }
};
