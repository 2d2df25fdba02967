// A large Rate Library line is read while it arrives, in pieces taken out of the held line and
// read on other threads. Whatever the line and however it is cut up as it comes, the link must
// end up with exactly what reading the whole line gives: the same library, or the same error;
// and it must never hold much of the line.
#include "ArrivingRows.h"
#include "ArrivingLine.h"
#include "ProtocolFixtures.h"

#include <QThreadPool>

#include <random>

using namespace ProtocolFixtures;
using Row = LearnedRates::Row;

namespace {

using ArrivingLine::Outcome;
using ArrivingLine::readWhole;

// As the link does it, with room for a line of 64 MiB: the line decoder gives back the one line
// at its newline.
ArrivingLine::ReadInPieces readInPieces(const QByteArray &line, qsizetype chunk, const QList<Row> &earlier,
                                        QThreadPool *pool, ArrivingRows::Sizes sizes)
{
    ArrivingLine::ReadInPieces result =
        ArrivingLine::readInPieces(line, chunk, earlier, pool, sizes, 64 * 1024 * 1024);
    if (!result.ended)
        ADD_FAILURE() << "the line never ended";
    else
        EXPECT_EQ(result.lines, 1);
    return result;
}

// A library of `count` rows whose texts fool the cutting now and then: a title holding "},{",
// texts to escape and beyond ASCII.
LearnedRates largeLibrary(int count)
{
    LearnedRates rates = fullRates();
    rates.rows.clear();
    for (int i = 0; i < count; ++i) {
        Row row = i % 3 == 0 ? fullRow() : minimalRow();
        row.id = QStringLiteral("id-%1").arg(i);
        if (i % 3 == 1)
            row.title = QStringLiteral("Song %1").arg(i);
        if (i % 97 == 5)
            row.title = QStringLiteral("Braces },{\"id\":\"x\"} in %1").arg(i);
        if (i % 11 == 2)
            row.artist = QStringLiteral("Artist %1").arg(i / 11);
        row.rate = i % 2 ? 44100 : 96000;
        rates.rows.append(row);
    }
    return rates;
}

QByteArray lineOf(const LearnedRates &rates)
{
    return encodeEnvelope(QStringLiteral("learnedRates"), rates.toJson()).chopped(1);
}

constexpr ArrivingRows::Sizes smallPieces{4 * 1024, 8 * 1024, 64 * 1024};

} // namespace

TEST(ArrivingRows, aLibraryReadInPiecesIsTheLibraryReadWhole)
{
    const LearnedRates library = largeLibrary(3000);
    const QByteArray line = lineOf(library);
    ASSERT_GT(line.size(), 512 * 1024);
    LearnedRates changed = library;
    changed.rows[0].rate = 48000;
    changed.rows.move(1500, 0);
    changed.rows[2000].title = QStringLiteral("Another take");
    const QByteArray changedLine = lineOf(changed);
    const QList<Row> earlier = readWhole(line, {}).rates->rows;

    QThreadPool pool;
    pool.setMaxThreadCount(3);
    for (const qsizetype chunk : {977, 8192, 65536, 262144}) {
        for (QThreadPool *threads : {static_cast<QThreadPool *>(nullptr), &pool}) {
            for (const ArrivingRows::Sizes sizes : {smallPieces, ArrivingRows::Sizes{}}) {
                const auto first = readInPieces(line, chunk, {}, threads, sizes);
                EXPECT_TRUE(first.started);
                ASSERT_TRUE(first.outcome.rates) << first.outcome;
                EXPECT_EQ(first.outcome, readWhole(line, {})) << chunk;
                EXPECT_EQ(*first.outcome.rates, library) << chunk;

                // Sent again after a pin, a play moving a row to the top and a title changed:
                // read as the whole line is, and taking the texts of the library before.
                const auto again = readInPieces(changedLine, chunk, earlier, threads, sizes);
                ASSERT_TRUE(again.outcome.rates) << again.outcome;
                EXPECT_EQ(*again.outcome.rates, changed) << chunk;
                qsizetype texts = 0, taken = 0;
                QSet<const QChar *> earlierTitles;
                for (const Row &row : earlier) {
                    if (row.title)
                        earlierTitles.insert(row.title->constData());
                }
                for (const Row &row : again.outcome.rates->rows) {
                    if (row.title) {
                        ++texts;
                        taken += earlierTitles.contains(row.title->constData());
                    }
                }
                EXPECT_GT(taken, texts * 95 / 100) << chunk;
            }
        }
    }
}

TEST(ArrivingRows, theLineIsNeverHeldWhole)
{
    const QByteArray line = lineOf(largeLibrary(12000)); // about 3 MB
    QThreadPool pool;
    for (QThreadPool *threads : {static_cast<QThreadPool *>(nullptr), &pool}) {
        const auto read = readInPieces(line, 256 * 1024, {}, threads, {});
        ASSERT_TRUE(read.outcome.rates);
        EXPECT_EQ(read.outcome.rates->rows.size(), 12000);
        // What came since the last piece was cut, and a row cut off.
        EXPECT_LT(read.mostHeld, 600 * 1024) << "of " << line.size();
    }
}

// Lines the one-pass reader gives up on after pieces of their rows were read: the general
// decoders then read them with a stand-in for the rows taken out, and must say exactly what they
// say of the whole line, errors and their row numbers included.
TEST(ArrivingRows, aLineTheReaderGivesUpOnReadsAsWhole)
{
    const LearnedRates library = largeLibrary(3000);
    const QByteArray line = lineOf(library);
    const QByteArray payload = compact(library.toJson());
    const auto envelope = [](const QByteArray &payload, const QByteArray &around) {
        return R"({"payload":)" + payload + "," + around + "}";
    };
    QByteArray wrongType = line;
    const qsizetype lateRate = wrongType.lastIndexOf(R"("rate":44100)");
    wrongType.replace(lateRate, 12, R"("rate":"fast")");
    QByteArray badEscape = line;
    badEscape.replace(badEscape.lastIndexOf("Song "), 5, R"(S\qng)");
    const QByteArray cases[] = {
        envelope(payload,
                 R"("type":"learnedRates","v":1,"v":1)"),    // a duplicate key: read, by the general decoders
        envelope(payload, R"("type":"learnedRates","v":2)"), // another version
        envelope(payload, R"("type":"localFilesResult","v":1)"),                           // another message
        envelope(payload.chopped(1) + R"(,"rows":[]})", R"("type":"learnedRates","v":1)"), // the rows again
        envelope(payload, R"("type":"learnedRates")"),
        line + " x",
        line.chopped(1) + ",}",
        wrongType, // "rows[2999].rate: expected a number", numbered as in the whole line
        badEscape,
    };
    QThreadPool pool;
    for (const QByteArray &damaged : cases) {
        const Outcome whole = readWhole(damaged, {});
        for (QThreadPool *threads : {static_cast<QThreadPool *>(nullptr), &pool}) {
            const auto read = readInPieces(damaged, 16384, {}, threads, smallPieces);
            EXPECT_TRUE(read.started);
            EXPECT_EQ(read.outcome, whole) << damaged.right(60).toStdString();
        }
    }
    EXPECT_TRUE(readWhole(cases[0], {}).rates);
    EXPECT_EQ(readWhole(wrongType, {}).payloadError, QStringLiteral("rows[2999].rate: expected a number"));

    // Damage anywhere: a byte changed, dropped or added, the line cut short.
    std::mt19937 random(23);
    int read = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = line;
        const auto at = qsizetype(random() % quint32(damaged.size()));
        switch (random() % 4) {
        case 0:
            damaged[at] = "{}[]\",:x1\\ "[random() % 11];
            break;
        case 1:
            damaged.remove(at, 1 + qsizetype(random() % 8));
            break;
        case 2:
            damaged.insert(at, "{[\",:]}\\"[random() % 8]);
            break;
        default:
            damaged.truncate(std::max<qsizetype>(at, 1));
            break;
        }
        const Outcome whole = readWhole(damaged, {});
        const auto inPieces = readInPieces(damaged, 1 + qsizetype(random() % 40000), {},
                                           round % 2 ? &pool : nullptr, smallPieces);
        ASSERT_EQ(inPieces.outcome, whole) << "round " << round;
        read += whole.rates.has_value();
    }
    EXPECT_GT(read, 30); // damage inside a text often leaves a valid line
}
