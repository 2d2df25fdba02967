#pragma once

// What the windows say about one play in their tables: each cell's text and its tone. The
// Playback History window and the Rate Library's recent plays only lay these out, each in its
// own columns and fonts.

#include "Platform/SystemColors.h"
#include "PlaybackHistory.h"

#include <QColor>
#include <QLocale>
#include <QString>

namespace PlayCells {

using Entry = PlaybackHistory::Entry;

enum class Column { time, track, setting, predicted, from, played, load, outcome };
enum class Tone { primary, secondary, orange };

// How a window writes a play. The History window: the date and time, rates as the store writes
// them ("44.1 kHz", never localized). The Rate Library: the time of day, rates in the locale's
// numbers, and its "no prediction" as it stands.
enum class Writing { history, rateLibrary };

// Loads at 4000 ms or more are marked: Music.app took unusually long.
constexpr qint64 slowLoadMs = 4000;

// The cell's text ("—" for a missing value); for the track cell, the title (the artist is
// `entry.artist`).
QString text(Column column, const Entry &entry, Writing writing, const QLocale &locale = QLocale());
Tone tone(Column column, const Entry &entry);
QColor toneColor(Tone tone, SystemColors::Appearance appearance = SystemColors::currentAppearance());

} // namespace PlayCells
