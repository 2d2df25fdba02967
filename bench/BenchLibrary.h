#pragma once

// A Rate Library shaped like a large real one, the same every run: albums of 6 to 16 tracks by
// one artist, titles of realistic lengths (some not ASCII, some with quotes to escape), every
// tier and source, a few pinned rows and several outputs. And a playback history to go with it.

#include "PlaybackHistory.h"
#include "SwitcherProtocol.h"

#include <QStringList>

#include <random>

namespace BenchLibrary {

using namespace SwitcherProtocol;

// Words to build titles, artists and albums of realistic lengths; some are not ASCII, and
// some carry quotes that the encoder escapes.
inline const char *const words[] = {
    "Love",
    "Night",
    "Blue",
    "Moon",
    "River",
    "Song",
    "Dream",
    "Light",
    "Heart",
    "Fire",
    "Road",
    "Summer",
    "Rain",
    "Golden",
    "Lonely",
    "Dance",
    "Forever",
    "Shadow",
    "Angel",
    "Train",
    "Stars",
    "Café",
    "Müller",
    "Señorita",
    "Ævum",
    "Żółć",
    "東京",
    "夜の",
    "Сердце",
    "Λύρα",
    "♥",
    "\"Live\"",
    "(Remastered 2019)",
    "[Deluxe Edition]",
    "feat.",
    "Part II",
    "Symphony No. 9 in D minor, Op. 125",
};

inline QString phrase(std::mt19937 &rng, int minWords, int maxWords)
{
    std::uniform_int_distribution<int> count(minWords, maxWords);
    std::uniform_int_distribution<int> pick(0, int(std::size(words)) - 1);
    QStringList parts;
    for (int i = count(rng); i > 0; --i)
        parts.append(QString::fromUtf8(words[pick(rng)]));
    return parts.join(QLatin1Char(' '));
}

inline LearnedRates makeBenchLibrary(int rowCount)
{
    std::mt19937 rng(20260301);
    const double rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    const QString tiers[] = {LearnedRates::Tier::hires, LearnedRates::Tier::lossless,
                             LearnedRates::Tier::aac,   LearnedRates::Tier::unknown,
                             LearnedRates::Tier::any,   LearnedRates::Tier::file};
    const QString sources[] = {QStringLiteral("learned"), QStringLiteral("file"), QStringLiteral("imported")};
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rateIndex(0, int(std::size(rates)) - 1);
    std::uniform_int_distribution<int> tierIndex(0, int(std::size(tiers)) - 1);
    std::uniform_int_distribution<int> albumLength(6, 16);
    std::uniform_int_distribution<int> confirmations(0, 40);
    std::uniform_int_distribution<qint64> seconds(0, 3 * 365 * 86400);
    const qint64 start = QDateTime(QDate(2023, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();

    LearnedRates library;
    library.rows.reserve(rowCount);
    QString artist;
    QString album;
    int leftOnAlbum = 0;
    double albumRate = 44100;
    while (library.rows.size() < rowCount) {
        if (leftOnAlbum == 0) {
            artist = phrase(rng, 1, 3);
            album = phrase(rng, 2, 6);
            leftOnAlbum = albumLength(rng);
            albumRate = rates[rateIndex(rng)];
        }
        --leftOnAlbum;
        LearnedRates::Row row;
        const bool library_ = percent(rng) < 60;
        row.id = library_
                     ? QString::number(rng() | (quint64(rng()) << 32), 16).toUpper().rightJustified(16, '0')
                     : QString::number(1000000000 + rng() % 900000000);
        row.kind = library_ ? QStringLiteral("library") : QStringLiteral("catalog");
        row.tier = tiers[tierIndex(rng)];
        row.title = phrase(rng, 2, 8);
        if (percent(rng) < 97)
            row.artist = artist;
        if (percent(rng) < 95)
            row.album = album;
        row.rate = percent(rng) < 90 ? albumRate : rates[rateIndex(rng)];
        row.pinned = percent(rng) < 5;
        if (row.pinned)
            row.learnedRate = rates[rateIndex(rng)];
        row.source = sources[percent(rng) < 80 ? 0 : 1 + percent(rng) % 2];
        row.confirmations = confirmations(rng);
        row.confirmedAt = QDateTime::fromMSecsSinceEpoch(start + seconds(rng) * 1000 + percent(rng), Qt::UTC);
        library.rows.append(std::move(row));
    }
    for (const char *uid : {"BuiltInSpeakerDevice", "AppleUSBAudioEngine:Schiit Audio:Modi+:1410000:2",
                            "AppleHDAEngineOutput:1F,3,0,1,0:0", "5C-44-3E-AA-01-22:output",
                            "AppleUSBAudioEngine:RME:ADI-2 DAC:23891234:1"})
        library.outputs.append({QString::fromLatin1(uid), percent(rng) < 50, std::nullopt});
    if (!library.rows.isEmpty())
        library.nowPlayingID = library.rows[library.rows.size() / 2].id;
    return library;
}

// `count` plays a few minutes apart, oldest first, with every kind of prediction and outcome.
inline QList<PlaybackHistory::Entry> makeBenchPlays(int count)
{
    std::mt19937 rng(20260301);
    const double rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    const char *const sources[] = {"learned", "library/pinned",      "file",    "imported",
                                   "album",   "catalog/tags+ladder", "derived", "catalog/tags-guess"};
    const char *const tiers[] = {"hires", "lossless", "aac", "unknown"};
    const char *const outcomes[] = {"learned", "rewritten", "kept"};
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rate(0, int(std::size(rates)) - 1);
    std::uniform_int_distribution<int> source(0, int(std::size(sources)) - 1);
    std::uniform_int_distribution<int> tier(0, int(std::size(tiers)) - 1);
    std::uniform_int_distribution<int> outcome(0, int(std::size(outcomes)) - 1);
    std::uniform_int_distribution<int> load(300, 6000);
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

    QList<PlaybackHistory::Entry> plays;
    for (int i = 0; i < count; ++i) {
        PlaybackHistory::Entry entry;
        entry.at = start.addSecs(qint64(i) * 240);
        entry.title = BenchLibrary::phrase(rng, 1, 5);
        entry.artist = BenchLibrary::phrase(rng, 1, 3);
        entry.album = BenchLibrary::phrase(rng, 1, 4);
        entry.tier = QString::fromUtf8(tiers[tier(rng)]);
        if (percent(rng) < 85) {
            entry.predictedRate = rates[rate(rng)];
            entry.source = QString::fromUtf8(sources[source(rng)]);
        } else {
            entry.note = QStringLiteral("Corvane Mac Remote was not paired");
        }
        if (percent(rng) < 95)
            entry.playedRate =
                percent(rng) < 80 && entry.predictedRate ? *entry.predictedRate : rates[rate(rng)];
        if (percent(rng) < 60)
            entry.outcome = QString::fromUtf8(outcomes[outcome(rng)]);
        entry.corrected = percent(rng) < 3;
        if (percent(rng) < 70)
            entry.musicStartMs = load(rng);
        plays.append(entry);
    }
    return plays;
}

// The whole "learnedRates" line as the companion sends it, without the '\n' the link cuts off,
// padded the way the link pads it.
struct Line {
    QByteArray bytes;
    std::size_t capacity = 0;
    std::string_view view() const { return {bytes.constData(), size_t(bytes.size())}; }
};

inline Line libraryLine(const LearnedRates &library)
{
    Line l;
    l.bytes = encodeEnvelope(QStringLiteral("learnedRates"), library.toJson());
    l.bytes.chop(1);
    l.capacity = padForDecoding(l.bytes);
    return l;
}

// The head, then the rows with the same scratch, then the plausibility sweep.
inline Decoded<LearnedRates> decodeAsTheLinkDoes(const Line &l, JsonScratch &scratch)
{
    const Decoded<EnvelopeHead> head = decodeEnvelopeHead(l.view(), l.capacity, &scratch);
    if (!head)
        return Decoded<LearnedRates>::failure(head.error.key, head.error.reason);
    Decoded<LearnedRates> rates =
        LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
    if (rates)
        rates.value->dropImplausibleRows();
    return rates;
}

} // namespace BenchLibrary

using BenchLibrary::decodeAsTheLinkDoes;
using BenchLibrary::libraryLine;
using BenchLibrary::Line;
using BenchLibrary::makeBenchLibrary;
using BenchLibrary::makeBenchPlays;
