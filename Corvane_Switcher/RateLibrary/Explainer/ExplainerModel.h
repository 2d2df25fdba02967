#pragma once

// What the prediction explainer shows, worked out from the model's values and the window's view
// state: the output control and the Dolby Atmos answer, the lit prediction step and its track,
// the recent plays with their tints and the pointer's hover rules. Plain functions, no widgets.

#include "ExplainerTexts.h"
#include "RateLibrary/LearnedRatesView.h"
#include "RateLibrary/RateLibraryMenus.h"

#include <QLineF>
#include <QList>
#include <QUuid>

#include <functional>
#include <optional>

namespace RateLibrary {

using PlayEntry = PlaybackHistory::Entry;

// The output's Dolby Atmos answer: the user's own when given, else what plays taught.
std::optional<AtmosAnswer> atmosAnswer(const std::optional<Output> &chosen);
// The answer picker's check mark: 0 learn from plays, 1 compatible, 2 not; the user's own only.
int atmosAnswerChoice(const std::optional<Output> &chosen);
// What a picked tag sends as `atmosOutput`: none for 0, true for 1, false for anything else.
std::optional<bool> atmosOutputForChoice(int tag);
// False only while Music.app's Dolby Atmos setting decides for every output ("always", "off").
bool atmosQuestionApplies(const std::optional<SwitcherProtocol::MusicQuality> &quality);

// The output control: a menu over two or more outputs, one name, or "No output". A menu's items
// are made only when it opens: a companion may list any number of outputs.
struct OutputControl {
    enum class Kind { menu, name, none };
    Kind kind = Kind::none;
    QString label;
    OutputChoices choices;
    qsizetype checked = -1; // the item whose uid is the chosen one
    std::function<void(const QString &uid)> choose;

    // A menu's items, in `outputChoices` order; choosing one stores its uid.
    MenuItems items() const;
    // Chooses item `i`, as its menu item does.
    void pick(qsizetype i) const;
};
OutputControl outputControl(const OutputChoices &choices, const std::optional<QString> &chosenUID,
                            const std::function<void(const QString &uid)> &choose);

// The answer menu's items. `chosenUIDNow` is asked again when an item is chosen, so a command
// goes to the output chosen at that moment, and nowhere when there is none.
struct AtmosCommands {
    std::function<void(const QString &uid, std::optional<bool> atmosOutput)> setDeviceAtmos;
    std::function<void(const QString &uid)> resetOutput;
};
MenuItems atmosAnswerMenu(const std::optional<Output> &chosen,
                          const std::function<std::optional<QString>()> &chosenUIDNow,
                          const AtmosCommands &commands);

// One chip of an outcome row: an arrow before every chip but the first; the last highlighted.
struct FlowChip {
    QString text;
    bool arrowBefore = false;
    bool highlighted = false;
    bool operator==(const FlowChip &) const = default;
};
FlowChip flowChip(int position, const QString &text, int count);
QList<FlowChip> flowChips(const AtmosOutcomeRow &row);

// The prediction step lit by the hovered recent play, else by the latest play.
std::optional<int> hoveredStep(const QList<PlayEntry> &history, const std::optional<QUuid> &hoveredRowID);
std::optional<int> litStep(const QList<PlayEntry> &history, const std::optional<QUuid> &hoveredRowID);

// The step track behind a steps row `width` wide: the grey line from disc 1 to disc 5, and the
// accent line from disc 1 to the lit step (none for step 1 or no lit step).
constexpr qreal stepDiscSize = 22;
qreal stepDiscCentreX(qreal width, int step);
struct StepTrack {
    QLineF base;
    std::optional<QLineF> accent;
};
StepTrack stepTrack(qreal width, std::optional<int> lit);

// The newest play (the history's last), or null.
const PlayEntry *latestEntry(const QList<PlayEntry> &history);
// The eight newest plays, newest first.
constexpr int recentPlayCount = 8;
QList<PlayEntry> recentPlays(const QList<PlayEntry> &history);

// The widths of the columns in a row `available` points wide (without its padding); the last
// column takes what is left, never less than nothing.
QList<int> recentPlayColumnWidths(int available);

// A recent play's background: the latest play's accent tint first, then the tint of the plays
// decided by the hovered row's step.
enum class RowTint { none, latest, sameStep };
RowTint recentPlayRowTint(const PlayEntry &entry, const std::optional<QUuid> &latestID,
                          std::optional<int> hovered);

// `hoveredRowID` after the pointer leaves a row: cleared only while it still holds that row,
// since the pointer may have gone straight into the next one.
std::optional<QUuid> hoverAfterLeaving(const std::optional<QUuid> &current, const QUuid &row);

// The latest play strip's corner radii: its lower corners square while the recent plays hang
// beneath it.
struct StripCorners {
    qreal upper = 6;
    qreal lower = 6;
    bool operator==(const StripCorners &) const = default;
};
StripCorners latestStripCorners(bool historyExpanded);

} // namespace RateLibrary
