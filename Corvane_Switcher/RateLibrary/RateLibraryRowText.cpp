#include "RateLibraryRowText.h"

#include "Bundle.h"
#include "RateLibraryTr.h"
#include "Units.h"

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>

#include <QHash>

#include <cmath>
#include <memory>

namespace RateLibrary {

using RateLibraryText::Tr;
using Tier = SwitcherProtocol::LearnedRates::Tier;

namespace {
const QString noKey = QString(QChar(0xFFFF));
} // namespace

QString trackSortKey(const Row &row)
{
    return row.title ? row.title->toLower() : noKey;
}

QString albumSortKey(const Row &row)
{
    return row.album ? row.album->toLower() : noKey;
}

QString settingSortKey(const Row &row)
{
    if (row.tier == Tier::hires)
        return QStringLiteral("0");
    if (row.tier == Tier::lossless)
        return QStringLiteral("1");
    if (row.tier == Tier::aac)
        return QStringLiteral("2");
    if (row.tier == Tier::file)
        return QStringLiteral("3");
    if (row.tier == Tier::any)
        return QStringLiteral("4");
    return QStringLiteral("5");
}

QString sourceSortKey(const Row &row)
{
    if (row.pinned)
        return QStringLiteral("0");
    if (row.source == u"file")
        return QStringLiteral("1");
    return QStringLiteral("2");
}

int compareCodePoints(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y)
            continue;
        // UTF-16 puts surrogates (characters above U+FFFF) below U+E000..U+FFFF; move them above.
        if (x >= 0xD800 && y >= 0xD800) {
            auto fix = [](char16_t c) -> int { return c >= 0xE000 ? c - 0x800 : c + 0x2000; };
            return fix(x) - fix(y);
        }
        return int(x) - int(y);
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

const QList<TableColumn> &tableColumns()
{
    static const QList<TableColumn> columns = {
        {QT_TRANSLATE_NOOP("RateLibrary", "Track"), SortKey::track, 180, 260, 0},
        {QT_TRANSLATE_NOOP("RateLibrary", "Album"), SortKey::album, 100, 180, 0},
        {QT_TRANSLATE_NOOP("RateLibrary", "Setting"), SortKey::setting, 70, 90, 110},
        {QT_TRANSLATE_NOOP("RateLibrary", "Rate"), SortKey::rate, 110, 120, 140},
        {QT_TRANSLATE_NOOP("RateLibrary", "Source"), SortKey::source, 90, 110, 130},
        {QT_TRANSLATE_NOOP("RateLibrary", "Confirmed"), SortKey::confirmed, 90, 110, 150},
    };
    return columns;
}

QString columnTitle(const TableColumn &column)
{
    return Tr::tr(column.title);
}

QString trackTitle(const Row &row)
{
    if (row.title)
        return *row.title;
    if (row.kind == u"library")
        return Tr::tr("Library track");
    //: A track with no title; the placeholder is its catalog id.
    return Tr::tr("Catalog track %1").arg(row.id);
}

SourceBadge sourceBadge(const Row &row)
{
    using Tint = SourceBadge::Tint;
    if (row.pinned)
        return {Tr::tr("Pinned"), Tint::accent};
    if (row.source == u"file")
        return {Tr::tr("Local file"), Tint::secondary};
    if (row.source == u"imported") {
        if (row.confirmations >= 2) {
            //: Source badge: imported, confirmed this many times.
            return {Tr::tr("Imported ×%1").arg(row.confirmations), Tint::secondary};
        }
        return {Tr::tr("Imported"), Tint::secondary};
    }
    if (row.confirmations >= 2) {
        //: Source badge: learned, confirmed this many times.
        return {Tr::tr("Learned ×%1").arg(row.confirmations), Tint::secondary};
    }
    return {Tr::tr("Learned"), Tint::secondary};
}

QString settingCellText(const Row &row)
{
    return Tier::columnLabel(row.tier);
}

QString settingCellHelp(const Row &row)
{
    if (row.isSettingIndependent())
        return Tr::tr("Plays the same under every Music.app setting");
    //: The placeholder is Music.app's setting, such as "Hi-Res Lossless".
    return Tr::tr("Heard with Music.app set to %1").arg(Tier::sentencePhrase(row.tier, Bundle::main()));
}

QString rateText(double rate)
{
    return Units::kHz(Bundle::main(), rate);
}

QString noOutputsHelp()
{
    return Tr::tr("Connect an output to change pins");
}

QString confirmedText(const Row &row, const QDateTime &now, const QLocale &locale)
{
    if (row.confirmations == 0)
        return QStringLiteral("—");
    return relativeDateText(row.confirmedAt, now, locale);
}

namespace {

// Making an ICU formatter loads locale data; keep one per locale for the life of the process.
icu::RelativeDateTimeFormatter *formatterFor(const QLocale &locale)
{
    static QHash<QString, std::shared_ptr<icu::RelativeDateTimeFormatter>> formatters;
    const QString name = locale.language() == QLocale::C ? QStringLiteral("en_US_POSIX") : locale.name();
    auto it = formatters.find(name);
    if (it == formatters.end()) {
        UErrorCode status = U_ZERO_ERROR;
        auto formatter = std::make_shared<icu::RelativeDateTimeFormatter>(
            icu::Locale(name.toUtf8().constData()), nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE,
            status);
        if (U_FAILURE(status))
            formatter.reset();
        it = formatters.insert(name, formatter);
    }
    return it.value().get();
}

} // namespace

QString relativeDateText(const QDateTime &date, const QDateTime &now, const QLocale &locale)
{
    if (!date.isValid() || !now.isValid())
        return QStringLiteral("—");
    const QDateTime here = date.toLocalTime();
    const QDateTime hereNow = now.toLocalTime();
    const bool past = here <= hereNow;
    const QDateTime &from = past ? here : hereNow;
    const QDateTime &to = past ? hereNow : here;

    // The elapsed time in whole calendar units, and the largest unit that is not zero: a play
    // four minutes before midnight is "4 minutes ago" just after it, not "yesterday".
    int months = (to.date().year() - from.date().year()) * 12 + (to.date().month() - from.date().month());
    if (months > 0 && from.addMonths(months) > to)
        --months;
    const QDateTime afterMonths = from.addMonths(months);
    qint64 days = afterMonths.date().daysTo(to.date());
    if (days > 0 && afterMonths.addDays(days) > to)
        --days;
    const qint64 seconds = afterMonths.addDays(days).secsTo(to);

    double magnitude = 0;
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    if (months >= 12) {
        unit = UDAT_REL_UNIT_YEAR;
        magnitude = months / 12;
    } else if (months >= 1) {
        unit = UDAT_REL_UNIT_MONTH;
        magnitude = months;
    } else if (days >= 7) {
        unit = UDAT_REL_UNIT_WEEK;
        magnitude = double(days / 7);
    } else if (days >= 1) {
        unit = UDAT_REL_UNIT_DAY;
        magnitude = double(days);
    } else if (seconds >= 3600) {
        unit = UDAT_REL_UNIT_HOUR;
        magnitude = double(seconds / 3600);
    } else if (seconds >= 60) {
        unit = UDAT_REL_UNIT_MINUTE;
        magnitude = double(seconds / 60);
    } else {
        magnitude = double(seconds);
    }
    const double offset = past ? -magnitude : magnitude;
    icu::RelativeDateTimeFormatter *formatter = formatterFor(locale);
    if (!formatter)
        return locale.toString(here, QLocale::ShortFormat);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    formatter->format(offset, unit, text, status);
    if (U_FAILURE(status))
        return locale.toString(here, QLocale::ShortFormat);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

} // namespace RateLibrary
