#pragma once

#include <QDateTime>
#include <QString>

// A date and time as the windows write them: the abbreviated date and the short time of the
// current locale ("Dec 6, 2026, 9:00 PM"), through ICU.
namespace DateTimeText {

// In the process's locale and time zone; `at` must be valid.
QString mediumDateShortTime(const QDateTime &at);
// In the given ICU locale ("de_DE") and time zone ("Europe/Berlin"), for tests.
QString mediumDateShortTime(const QDateTime &at, const QString &locale, const QString &timeZone);

} // namespace DateTimeText
