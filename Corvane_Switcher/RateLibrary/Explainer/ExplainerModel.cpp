#include "ExplainerModel.h"

#include <algorithm>

namespace RateLibrary {

std::optional<AtmosAnswer> atmosAnswer(const std::optional<Output> &chosen)
{
    if (!chosen)
        return std::nullopt;
    if (chosen->atmosOutput)
        return AtmosAnswer{*chosen->atmosOutput, AtmosAnswer::Origin::yourChoice};
    if (chosen->atmos)
        return AtmosAnswer{*chosen->atmos, AtmosAnswer::Origin::learnedFromPlays};
    return std::nullopt;
}

int atmosAnswerChoice(const std::optional<Output> &chosen)
{
    if (!chosen || !chosen->atmosOutput)
        return 0;
    return *chosen->atmosOutput ? 1 : 2;
}

std::optional<bool> atmosOutputForChoice(int tag)
{
    if (tag == 0)
        return std::nullopt;
    return tag == 1;
}

bool atmosQuestionApplies(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    return !(quality && quality->atmos && (*quality->atmos == u"always" || *quality->atmos == u"off"));
}

OutputControl outputControl(const OutputChoices &choices, const std::optional<QString> &chosenUID,
                            const std::function<void(const QString &uid)> &choose)
{
    if (choices.isEmpty())
        return {OutputControl::Kind::none, noOutputText(), {}, -1, {}};
    if (choices.size() == 1)
        return {OutputControl::Kind::name, choices.name(0), {}, -1, {}};
    // The label names the first output whose uid is the chosen one; a picked uid the companion no
    // longer lists falls back to the first output, and no item is checked.
    const qsizetype checked = chosenUID ? choices.indexOf(*chosenUID) : -1;
    return {OutputControl::Kind::menu, choices.name(std::max<qsizetype>(checked, 0)), choices, checked,
            choose};
}

MenuItems OutputControl::items() const
{
    MenuItems items;
    if (kind != Kind::menu)
        return items;
    items.reserve(choices.size());
    for (qsizetype i = 0; i < choices.size(); ++i) {
        MenuItem item;
        item.title = choices.name(i);
        item.checked = i == checked;
        item.action = [control = *this, i] { control.pick(i); };
        items.append(item);
    }
    return items;
}

void OutputControl::pick(qsizetype i) const
{
    if (choose && i >= 0 && i < choices.size())
        choose(choices.uid(i));
}

MenuItems atmosAnswerMenu(const std::optional<Output> &chosen,
                          const std::function<std::optional<QString>()> &chosenUIDNow,
                          const AtmosCommands &commands)
{
    MenuItems items;
    const int checked = atmosAnswerChoice(chosen);
    for (int tag = 0; tag < 3; ++tag) {
        MenuItem item;
        item.title = atmosChoiceTitle(tag);
        item.checked = tag == checked;
        item.action = [chosenUIDNow, send = commands.setDeviceAtmos, tag] {
            const std::optional<QString> uid = chosenUIDNow ? chosenUIDNow() : std::nullopt;
            if (uid && send)
                send(*uid, atmosOutputForChoice(tag));
        };
        items.append(item);
    }
    if (chosen && chosen->atmos) {
        items.append(MenuItem::separator());
        MenuItem forget;
        forget.title = forgetLearnedTitle();
        forget.action = [chosenUIDNow, reset = commands.resetOutput] {
            const std::optional<QString> uid = chosenUIDNow ? chosenUIDNow() : std::nullopt;
            if (uid && reset)
                reset(*uid);
        };
        items.append(forget);
    }
    return items;
}

FlowChip flowChip(int position, const QString &text, int count)
{
    return {text, position > 0, position == count - 1};
}

QList<FlowChip> flowChips(const AtmosOutcomeRow &row)
{
    QList<FlowChip> chips;
    for (int i = 0; i < row.texts.size(); ++i)
        chips.append(flowChip(i, row.texts.at(i), int(row.texts.size())));
    return chips;
}

std::optional<int> hoveredStep(const QList<PlayEntry> &history, const std::optional<QUuid> &hoveredRowID)
{
    if (!hoveredRowID)
        return std::nullopt;
    const auto it = std::find_if(history.begin(), history.end(),
                                 [&](const PlayEntry &entry) { return entry.id == *hoveredRowID; });
    if (it == history.end())
        return std::nullopt;
    return PlaybackHistory::stepNumber(it->source);
}

std::optional<int> litStep(const QList<PlayEntry> &history, const std::optional<QUuid> &hoveredRowID)
{
    if (const std::optional<int> hovered = hoveredStep(history, hoveredRowID))
        return hovered;
    if (history.isEmpty())
        return std::nullopt;
    return PlaybackHistory::stepNumber(history.last().source);
}

qreal stepDiscCentreX(qreal width, int step)
{
    return width / 5 * (step - 0.5);
}

StepTrack stepTrack(qreal width, std::optional<int> lit)
{
    const qreal y = stepDiscSize / 2;
    const qreal x1 = stepDiscCentreX(width, 1);
    const qreal x5 = stepDiscCentreX(width, 5);
    StepTrack track{QLineF(x1, y, x5, y), std::nullopt};
    if (lit && *lit >= 2)
        track.accent = QLineF(x1, y, x1 + (*lit - 1) * (x5 - x1) / 4, y);
    return track;
}

const PlayEntry *latestEntry(const QList<PlayEntry> &history)
{
    return history.isEmpty() ? nullptr : &history.last();
}

QList<PlayEntry> recentPlays(const QList<PlayEntry> &history)
{
    QList<PlayEntry> plays;
    for (qsizetype i = history.size() - 1; i >= 0 && plays.size() < recentPlayCount; --i)
        plays.append(history.at(i));
    return plays;
}

QList<int> recentPlayColumnWidths(int available)
{
    QList<int> widths;
    int used = 0;
    for (const RecentPlayColumnInfo &info : recentPlayColumns()) {
        widths.append(info.width);
        used += info.width;
    }
    for (qsizetype i = 0; i < widths.size(); ++i) {
        if (recentPlayColumns().at(i).width == 0)
            widths[i] = std::max(0, available - used);
    }
    return widths;
}

RowTint recentPlayRowTint(const PlayEntry &entry, const std::optional<QUuid> &latestID,
                          std::optional<int> hovered)
{
    if (latestID && entry.id == *latestID)
        return RowTint::latest;
    if (hovered && PlaybackHistory::stepNumber(entry.source) == hovered)
        return RowTint::sameStep;
    return RowTint::none;
}

std::optional<QUuid> hoverAfterLeaving(const std::optional<QUuid> &current, const QUuid &row)
{
    if (current && *current == row)
        return std::nullopt;
    return current;
}

StripCorners latestStripCorners(bool historyExpanded)
{
    return {6, historyExpanded ? 0.0 : 6.0};
}

} // namespace RateLibrary
