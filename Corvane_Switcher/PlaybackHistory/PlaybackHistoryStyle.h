#pragma once

#include "PlaybackHistoryTableModel.h"

#include <QColor>
#include <QFont>

// Fonts and colours of the history window, in the platform's text styles and system colours.
namespace PlaybackHistoryStyle {

using PlayCells::toneColor;
QFont bodyFont();
QFont captionFont();
QFont calloutFont();
QFont headlineFont();
// The font of small controls and of the table's column headers.
QFont smallControlFont();
// The body font where its digits share one width, else the fixed-pitch font at the same size,
// so that load times line up in their column.
QFont fixedDigitFont();

} // namespace PlaybackHistoryStyle
