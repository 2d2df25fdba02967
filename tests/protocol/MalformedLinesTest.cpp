// Whatever the companion sends, decoding a line never crashes, never reads past the line, and
// what the fast reader accepts it reads as the slow one does. Run under AddressSanitizer this
// is what keeps a damaged line from becoming a memory fault.
#include "LearnedRatesLineReader.h"
#include "ProtocolFixtures.h"

#include <random>

using namespace ProtocolFixtures;

TEST(MalformedLines, mutatedLinesAreRefusedOrReadNeverMisread)
{
    const QByteArray original =
        encodeEnvelope(QStringLiteral("learnedRates"), fullRates().toJson()).chopped(1);
    std::mt19937 random(7);
    int readInOnePass = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray line = original;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const int at = int(random() % quint32(line.size()));
            switch (random() % 4) {
            case 0:
                line[at] = char(random() % 256);
                break; // change a byte
            case 1:
                line.remove(at, 1 + int(random() % 8));
                break; // drop some
            case 2:
                line.insert(at, "{[\",:]}\\"[random() % 8]);
                break; // add structure
            default:
                line.truncate(at);
                break; // cut short
            }
            if (line.isEmpty())
                line = "{";
        }
        // Unpadded (the decoders copy) and padded (they read in place) must behave alike.
        QByteArray padded = line;
        const std::size_t capacity = padForDecoding(padded);
        const auto head = decodeEnvelopeHead(view(line));
        const auto paddedHead =
            decodeEnvelopeHead(std::string_view(padded.constData(), padded.size()), capacity);
        ASSERT_EQ(head.ok(), paddedHead.ok()) << line.toStdString();
        // The one-pass reader of large lines may give up on any of them, but what it reads must
        // be what the general decoders read.
        if (const auto read = Detail::readLearnedRatesLine(view(padded))) {
            ++readInOnePass;
            ASSERT_TRUE(head.ok()) << line.toStdString();
            EXPECT_EQ(read->payload, std::string_view(head.value->payload)) << line.toStdString();
            EXPECT_EQ(read->rates, LearnedRates::fromJson(*payloadObject(head.value->payload).value).value)
                << line.toStdString();
        }
        if (!head.ok() || head.value->type != u"learnedRates")
            continue;
        // The fast reader is the stricter one (QJsonDocument lets an unknown escape such as
        // "\E" through); whatever it accepts, the other reads the same.
        const auto fast = LearnedRates::fromJsonText(head.value->payload);
        if (!fast.ok())
            continue;
        const auto slow = payloadObject(head.value->payload);
        ASSERT_TRUE(slow.ok()) << line.toStdString();
        EXPECT_EQ(fast.value, LearnedRates::fromJson(*slow.value).value) << line.toStdString();
    }
    EXPECT_GT(readInOnePass, 100); // damage inside a text often leaves a valid line
}

TEST(MalformedLines, aLargeLineReadInOnePassReadsAsTwoWalksDo)
{
    // From 64 KiB a line given a scratch is offered to the one-pass reader with its head;
    // whatever the damage, the link must accept and read exactly what the separate walks do.
    LearnedRates rates = fullRates();
    while (rates.rows.size() < 400)
        rates.rows.append(rates.rows.first());
    const QByteArray original = encodeEnvelope(QStringLiteral("learnedRates"), rates.toJson()).chopped(1);
    ASSERT_GT(original.size(), 64 * 1024);
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        QByteArray line = original;
        if (round > 0) {
            const int at = int(random() % quint32(line.size()));
            line[at] = "{}[]\",:x1"[random() % 9];
        }
        const auto separate = decodeEnvelopeHead(view(line));
        QByteArray padded = line;
        const std::size_t capacity = padForDecoding(padded);
        JsonScratch scratch;
        const auto joined =
            decodeEnvelopeHead(std::string_view(padded.constData(), padded.size()), capacity, &scratch);
        ASSERT_EQ(separate.ok(), joined.ok()) << "round " << round;
        if (!separate.ok())
            continue;
        EXPECT_EQ(separate.value->type, joined.value->type);
        EXPECT_EQ(separate.value->payload.size(), joined.value->payload.size());
        const auto a = LearnedRates::fromJsonText(separate.value->payload);
        const auto b =
            LearnedRates::fromJsonText(joined.value->payload, joined.value->payloadCapacity, &scratch);
        ASSERT_EQ(a.ok(), b.ok()) << "round " << round;
        EXPECT_EQ(a.value, b.value) << "round " << round;
    }
}
