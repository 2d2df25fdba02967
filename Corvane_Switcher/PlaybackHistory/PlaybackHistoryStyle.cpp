#include "PlaybackHistoryStyle.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

namespace PlaybackHistoryStyle {

QColor toneColor(PlaybackHistoryTableModel::Tone tone)
{
    switch (tone) {
    case PlaybackHistoryTableModel::Tone::orange:
        return SystemColors::orange();
    case PlaybackHistoryTableModel::Tone::secondary:
        return SystemColors::secondaryLabel();
    case PlaybackHistoryTableModel::Tone::primary:
        break;
    }
    return SystemColors::label();
}

QFont bodyFont()
{
    return FontStyles::body();
}

QFont captionFont()
{
    return FontStyles::caption();
}

QFont calloutFont()
{
    return FontStyles::callout();
}

QFont headlineFont()
{
    return FontStyles::headline();
}

QFont smallControlFont()
{
    return FontStyles::systemFont(11);
}

QFont fixedDigitFont()
{
    static const QFont font = FontStyles::equalWidthDigits(bodyFont());
    return font;
}

} // namespace PlaybackHistoryStyle
