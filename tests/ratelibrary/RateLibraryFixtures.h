#pragma once

// Rate Library rows for the window's tests, written the way the companion sends them.

#include "RateLibrary/LearnedRatesView.h"
#include "RateLibrary/RateLibraryIndex.h"

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

inline Row row(const QString &id, const QString &tier, double rate,
               std::optional<QString> title = QStringLiteral("Song"))
{
    Row r;
    r.id = id;
    r.kind = QStringLiteral("catalog");
    r.tier = tier;
    r.title = std::move(title);
    r.artist = QStringLiteral("Artist");
    r.album = QStringLiteral("Album");
    r.rate = rate;
    r.source = QStringLiteral("learned");
    r.confirmations = 1;
    r.confirmedAt = day(0);
    return r;
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
    SwitcherProtocol::MusicQuality q;
    q.lossless = lossless;
    q.hiRes = hiRes;
    q.tier = tier;
    return q;
}

inline RateLibrary::LibraryInputs inputs(QList<Row> rows,
                                         std::optional<SwitcherProtocol::MusicQuality> q = std::nullopt,
                                         std::optional<OutputDevice> device = std::nullopt)
{
    LearnedRates rates;
    rates.rows = std::move(rows);
    RateLibrary::LibraryInputs in;
    in.library = std::make_shared<const RateLibraryIndex>(rates);
    in.musicQuality = std::move(q);
    in.device = std::move(device);
    return in;
}

inline QStringList ids(const std::vector<RateLibrary::Keyed> &rows)
{
    QStringList out;
    for (const auto &k : rows)
        out.append(k.id());
    return out;
}

} // namespace RateLibraryFixtures
