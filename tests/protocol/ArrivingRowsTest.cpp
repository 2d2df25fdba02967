// A large Rate Library line is read while it arrives, in pieces taken out of the held line and
// read on other threads. Whatever the line and however it is cut up as it comes, the link must
// end up with exactly what reading the whole line gives: the same library, or the same error;
// and it must never hold much of the line.
#include "ArrivingRows.h"
#include "LineDecoder.h"
#include "ProtocolFixtures.h"

#include <QThreadPool>

#include <random>

using namespace ProtocolFixtures;
using Row = LearnedRates::Row;

namespace {

// What the link makes of one line: the head's verdict, then the payload's for a Rate Library.
struct Outcome {
    QString headError;
    int v = 0;
    QString type;
    QString payloadError;
    std::optional<LearnedRates> rates;
    bool operator==(const Outcome &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Outcome &o)
{
    return out << "head error '" << o.headError.toStdString() << "' v " << o.v << " type '"
               << o.type.toStdString() << "' payload error '" << o.payloadError.toStdString() << "' rows "
               << (o.rates ? o.rates->rows.size() : -1);
}

Outcome decode(QByteArray &line, JsonScratch &scratch)
{
    Outcome o;
    const std::size_t capacity = padForDecoding(line);
    const auto head = decodeEnvelopeHead(view(line), capacity, &scratch);
    if (!head) {
        o.headError = head.error.text();
        return o;
    }
    o.v = head.value->v;
    o.type = head.value->type;
    if (o.type == u"learnedRates") {
        auto rates = LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
        if (rates)
            o.rates = std::move(*rates.value);
        else
            o.payloadError = rates.error.text();
    }
    return o;
}

Outcome readWhole(QByteArray line, const QList<Row> &earlier)
{
    JsonScratch scratch;
    scratch.shareTextsWith(earlier);
    return decode(line, scratch);
}

struct ReadInPieces {
    Outcome outcome;
    qsizetype mostHeld = 0; // the most the line decoder held of the line
    bool started = false;   // whether the rows were read as the line arrived
};

// As the link does it: the line arrives in chunks of `chunk` bytes, received into the line held
// so far, which the arriving rows read after each chunk.
ReadInPieces readInPieces(const QByteArray &line, qsizetype chunk, const QList<Row> &earlier,
                          QThreadPool *pool, ArrivingRows::Sizes sizes)
{
    ReadInPieces result;
    LineDecoder decoder(64 * 1024 * 1024);
    ArrivingRows arriving(sizes);
    const QByteArray stream = line + '\n';
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        const QByteArrayView bytes = QByteArrayView(stream).sliced(at, std::min(chunk, stream.size() - at));
        QList<LineDecoder::Line> lines;
        if (decoder.pendingBytes() > 0) {
            QByteArray &held = decoder.heldLine();
            const qsizetype from = held.size();
            held.append(bytes);
            lines = decoder.feedHeld(from);
        } else {
            lines = decoder.feed(bytes);
        }
        if (!lines.isEmpty()) {
            EXPECT_EQ(lines.size(), 1);
            QByteArray rest = lines.first().text;
            JsonScratch scratch;
            scratch.shareTextsWith(earlier);
            result.started = arriving.started();
            if (arriving.started()) {
                auto read = arriving.finish(rest, earlier);
                if (read) {
                    result.outcome.v = read->v;
                    result.outcome.type = read->type;
                    result.outcome.rates = std::move(read->rates);
                    return result;
                }
                if (arriving.tookRows())
                    arriving.standIn(rest, scratch);
            }
            result.outcome = decode(rest, scratch);
            return result;
        }
        arriving.read(decoder.heldLine(), line.size(), earlier, pool);
        result.mostHeld = std::max(result.mostHeld, decoder.heldLine().size());
    }
    ADD_FAILURE() << "the line never ended";
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
