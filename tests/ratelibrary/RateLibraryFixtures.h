#pragma once

// Rate Library rows for the window's tests, written the way the companion sends them.

#include "RateLibrary/LearnedRatesView.h"
#include "RateLibrary/RateLibraryIndex.h"
#include "RateLibrary/RateLibraryMenus.h"

#include <QDateTime>
#include <QTimeZone>

#include <memory>
#include <optional>

namespace RateLibraryFixtures {

using Row = SwitcherProtocol::LearnedRates::Row;
using LearnedRates = SwitcherProtocol::LearnedRates;

inline QDateTime day(int n)
{
    return QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc()).addDays(n);
}

// A catalog track by "Artist" on "Album", learned once on day 0.
inline Row row(const QString &id, const QString &tier, double rate,
               std::optional<QString> title = QStringLiteral("Song"))
{
    return {id, "catalog", tier, std::move(title), "Artist", "Album", rate, {}, false, "learned", 1, day(0)};
}

inline Row pinned(Row r, std::optional<double> learned = std::nullopt)
{
    r.pinned = true;
    r.learnedRate = learned;
    return r;
}

inline Row withSource(Row r, const QString &source)
{
    r.source = source;
    return r;
}

inline SwitcherProtocol::MusicQuality quality(bool lossless, std::optional<bool> hiRes, qint64 tier = 2)
{
    return {lossless, tier, hiRes, std::nullopt};
}

inline RateLibrary::LibraryInputs inputs(QList<Row> rows,
                                         std::optional<SwitcherProtocol::MusicQuality> q = std::nullopt)
{
    LearnedRates rates;
    rates.rows = std::move(rows);
    return {std::make_shared<const RateLibraryIndex>(rates), std::move(q), std::nullopt};
}

// Menu titles, a separator as "---".
inline QStringList titles(const RateLibrary::MenuItems &items)
{
    QStringList out;
    for (const RateLibrary::MenuItem &item : items)
        out.append(item.kind == RateLibrary::MenuItem::Kind::separator ? QStringLiteral("---") : item.title);
    return out;
}

} // namespace RateLibraryFixtures
