#include "PlaybackHistory.h"

#include <QLocale>

const QString PlaybackHistory::csvHeader = QStringLiteral(
    "time,track,artist,setting,predicted_hz,step,source,played_hz,codec,outcome,corrected,music_start_ms");

namespace {

QString field(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (const QChar c : text) {
        if (special.contains(c)) {
            quote = true;
            break;
        }
    }
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

// A text cell: one that a spreadsheet would take for a formula (it begins with =, +, -, @, a
// tab or a carriage return) gets a leading single quote, so that a crafted track title stays
// text when the export is opened.
QString textField(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        return field(QLatin1Char('\'') + text);
    return field(text);
}

QString textField(const std::optional<QString> &text)
{
    return text ? textField(*text) : QString();
}

// The shortest text that reads back as the same number, never with an exponent.
QString number(const std::optional<double> &value)
{
    if (!value)
        return {};
    return QString::number(*value, 'f', QLocale::FloatingPointShortest);
}

} // namespace

QString PlaybackHistory::csvText(const QList<Entry> &entries)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = csvHeader + lineEnd;
    for (const Entry &entry : entries) {
        const std::optional<int> step = stepNumber(entry.source);
        const QStringList row{
            entry.at.toUTC().toString(Qt::ISODateWithMs),
            textField(entry.title),
            textField(entry.artist),
            textField(entry.tier),
            number(entry.predictedRate),
            step ? QString::number(*step) : QString(),
            textField(entry.source),
            number(entry.playedRate),
            textField(entry.codec),
            textField(entry.outcome),
            entry.corrected ? QStringLiteral("true") : QStringLiteral("false"),
            entry.musicStartMs ? QString::number(*entry.musicStartMs) : QString(),
        };
        text += row.join(QLatin1Char(',')) + lineEnd;
    }
    return text;
}
