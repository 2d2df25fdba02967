#pragma once

#include "Bundle.h"

#include <QString>
#include <QtGlobal>

// How rates and durations are written wherever the user reads them.
namespace Units {

// Rounds halves away from zero (2.5 -> 3, -2.5 -> -3), as every displayed figure does.
double roundHalfAwayFromZero(double value);

// 44100 -> "44.1 kHz", 48000 -> "48 kHz": at most one decimal, no grouping.
QString kHz(const Bundle &bundle, double hz);
// 1.5 -> "1.5 s": exactly one decimal.
QString seconds(const Bundle &bundle, double seconds);
// 1200 -> "1200 ms": never localized, never grouped.
QString ms(qint64 milliseconds);

} // namespace Units
