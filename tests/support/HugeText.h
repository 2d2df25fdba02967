#pragma once

// Texts of millions of characters, as a companion, a history file or a device may bring them: for
// the tests and benchmarks of what the windows show of them.

#include <QString>

// `length` characters: `first` and a space, then `words` over and over, then 'x' up to `last`,
// which ends the text.
inline QString hugeTextOf(const QString &words, const QString &first, qsizetype length,
                          const QString &last = {})
{
    QString text = first + QLatin1Char(' ');
    text.reserve(length);
    while (text.size() + words.size() + last.size() <= length)
        text += words;
    text += QString(length - text.size() - last.size(), QLatin1Char('x'));
    return text + last;
}
