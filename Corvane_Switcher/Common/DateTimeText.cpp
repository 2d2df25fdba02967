#include "DateTimeText.h"

#include <QHash>
#include <QLocale>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

namespace DateTimeText {
namespace {

std::unique_ptr<icu::DateFormat> makeFormat(const icu::Locale &locale)
{
    return std::unique_ptr<icu::DateFormat>(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort, locale));
}

QString format(icu::DateFormat *format, const QDateTime &at)
{
    if (!format)
        return QLocale().toString(at.toLocalTime(), QLocale::ShortFormat);
    icu::UnicodeString text;
    format->format(UDate(at.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

} // namespace

QString mediumDateShortTime(const QDateTime &at)
{
    // Made once per thread: building an ICU formatter costs far more than formatting with one.
    thread_local const std::unique_ptr<icu::DateFormat> formatter = makeFormat(icu::Locale::getDefault());
    return format(formatter.get(), at);
}

QString mediumDateShortTime(const QDateTime &at, const QString &locale, const QString &timeZone)
{
    const std::unique_ptr<icu::DateFormat> formatter = makeFormat(icu::Locale(locale.toUtf8().constData()));
    if (formatter) {
        const QString zone = timeZone;
        formatter->adoptTimeZone(icu::TimeZone::createTimeZone(
            icu::UnicodeString(reinterpret_cast<const char16_t *>(zone.utf16()), int32_t(zone.size()))));
    }
    return format(formatter.get(), at);
}

QString shortTime(const QDateTime &at, const QLocale &locale)
{
    // One formatter per locale, made on first use.
    thread_local QHash<QString, std::shared_ptr<icu::DateFormat>> formats;
    const QString name = locale.language() == QLocale::C ? QStringLiteral("en_US_POSIX") : locale.name();
    auto it = formats.find(name);
    if (it == formats.end())
        it = formats.insert(name, std::shared_ptr<icu::DateFormat>(icu::DateFormat::createTimeInstance(
                                      icu::DateFormat::kShort, icu::Locale(name.toUtf8().constData()))));
    if (!it.value())
        return locale.toString(at.toLocalTime().time(), QLocale::ShortFormat);
    return format(it.value().get(), at);
}

} // namespace DateTimeText
