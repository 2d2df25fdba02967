#include "PlaybackHistoryStyle.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QFontDatabase>
#include <QFontMetricsF>

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
    static const QFont font = [] {
        const QFont body = bodyFont();
        const QFontMetricsF metrics(body);
        const qreal zero = metrics.horizontalAdvance(QChar(u'0'));
        for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
            if (!qFuzzyCompare(metrics.horizontalAdvance(QChar(digit)), zero)) {
                QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
                fixed.setPointSizeF(body.pointSizeF());
                return fixed;
            }
        }
        return body;
    }();
    return font;
}

} // namespace PlaybackHistoryStyle
