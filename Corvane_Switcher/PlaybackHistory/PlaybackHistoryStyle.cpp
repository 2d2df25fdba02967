#include "PlaybackHistoryStyle.h"

#include "Platform/FontStyles.h"

namespace PlaybackHistoryStyle {

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
