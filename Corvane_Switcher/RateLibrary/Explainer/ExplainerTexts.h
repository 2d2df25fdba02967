#pragma once

// Every sentence and label of the prediction explainer above the Rate Library's table, as plain
// functions of what they describe. The widgets show these texts and nothing else.

#include "Common/PlayCells.h"
#include "PlaybackHistory.h"
#include "SwitcherProtocol.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace RateLibrary {

// Condition 1: Music.app's audio-quality setting, by its tier word.
QString musicSettingHeading();
QString musicSettingValue(const std::optional<SwitcherProtocol::MusicQuality> &quality);
QString musicSettingSentence(const std::optional<SwitcherProtocol::MusicQuality> &quality);

// Condition 2: the output and its Dolby Atmos answer.
struct AtmosAnswer {
    enum class Origin { yourChoice, learnedFromPlays };
    bool compatible = false;
    Origin origin = Origin::yourChoice;
    bool operator==(const AtmosAnswer &) const = default;
};
QString outputHeading();
QString atmosInfoHelp();
QString outputMenuHelp();
QString noOutputText();
// The hidden labels of the two pickers, read out by assistive technology.
QString outputPickerLabel();
QString atmosPickerLabel();
QString atmosAnswerMenuHelp();
QString atmosAnswerLabel(const std::optional<AtmosAnswer> &answer);
// The answer picker's items by their tag: 0 learn from plays, 1 compatible, 2 not compatible.
QString atmosChoiceTitle(int tag);
QString forgetLearnedTitle();
QString atmosAnswerSentence(const std::optional<SwitcherProtocol::MusicQuality> &quality,
                            const std::optional<AtmosAnswer> &answer);

// The popover that explains the Dolby Atmos answer.
QString atmosInfoTitle();
QString atmosInfoText();
struct AtmosOutcomeRow {
    QString title;
    QStringList texts;
};
QList<AtmosOutcomeRow> atmosOutcomeRows();
QStringList atmosInfoNotes();

// The prediction order: five steps, indexed by step − 1.
QString predictionOrderHeading();
QString predictionOrderSentence();
const QStringList &stepSummaries();
const QStringList &stepHelp();
QString stepBadge(int step);

// The latest play line and its "History" toggle.
QString latestPlaySummary(const PlaybackHistory::Entry *latest, const QDateTime &now,
                          const QLocale &locale = QLocale());
QString historyToggleTitle();
QString historyToggleHelp();

// The recent plays table: the cells of the History window's columns of the same names.
using RecentPlayColumn = PlayCells::Column;
struct RecentPlayColumnInfo {
    RecentPlayColumn column;
    const char *title; // untranslated; see recentPlayHeader
    int width;         // points; 0 takes the rest of the row
};
const QList<RecentPlayColumnInfo> &recentPlayColumns();
// The column's title, localized and upper-cased by the locale's rules.
QString recentPlayHeader(const RecentPlayColumnInfo &info, const QLocale &locale = QLocale());
std::optional<QString> recentPlayHeaderHelp(RecentPlayColumn column);
QString recentPlaysFooter(qsizetype count);
QString showAllTitle();

} // namespace RateLibrary
