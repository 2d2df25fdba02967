#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A date and time as the windows write them: the abbreviated date and the short time of the
// current locale ("Dec 6, 2026, 9:00 PM"), or the short time alone, through ICU.
namespace DateTimeText {

// In the process's locale and time zone; `at` must be valid.
QString mediumDateShortTime(const QDateTime &at);
// In the given ICU locale ("de_DE") and time zone ("Europe/Berlin"), for tests.
QString mediumDateShortTime(const QDateTime &at, const QString &locale, const QString &timeZone);
// The time of day alone, in the locale's short form ("9:05 PM"); `at` must be valid.
QString shortTime(const QDateTime &at, const QLocale &locale = QLocale());

} // namespace DateTimeText
