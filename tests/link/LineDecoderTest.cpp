#include "LineDecoder.h"

#include <gtest/gtest.h>

namespace {

QList<QByteArray> lines(const QList<LineDecoder::Line> &decoded)
{
    QList<QByteArray> out;
    for (const auto &line : decoded)
        out.append(line.tooLong ? QByteArray("<too long>") : line.text);
    return out;
}

} // namespace

TEST(LineDecoder, framingDoesNotDependOnWhereTheChunksEnd)
{
    // Cap 12: the 16-byte line is too long, the 12-byte one just fits; "partial" never ends.
    const QByteArray stream =
        "{\"a\":1}\n{\"b\":2}\r\n\n\r\n0123456789abcdef\nexactly-12ch\n{\"c\":3}\npartial";
    const QList<QByteArray> expected{"{\"a\":1}", "{\"b\":2}", "<too long>", "exactly-12ch", "{\"c\":3}"};
    const QByteArrayView view(stream);
    for (qsizetype i = 0; i <= stream.size(); ++i) {
        for (qsizetype j = i; j <= stream.size(); j += 3) {
            LineDecoder decoder(12);
            QList<QByteArray> out = lines(decoder.feed(view.sliced(0, i)));
            out += lines(decoder.feed(view.sliced(i, j - i)));
            out += lines(decoder.feed(view.sliced(j)));
            EXPECT_EQ(out, expected) << i << " " << j;
            EXPECT_EQ(decoder.pendingBytes(), 7) << "\"partial\" is held";
        }
    }
}

TEST(LineDecoder, reportsAnOverlongLineAtOnceAndHoldsNoneOfIt)
{
    LineDecoder decoder(8);
    // The first line comes out, then the report, before the long line's newline arrives.
    EXPECT_EQ(lines(decoder.feed("ok\n123456")), QList<QByteArray>{"ok"});
    EXPECT_EQ(lines(decoder.feed("789")), QList<QByteArray>{"<too long>"});
    EXPECT_EQ(decoder.pendingBytes(), 0);

    // The rest of the long line is thrown away as it comes, reported only once.
    EXPECT_TRUE(decoder.feed(QByteArray(100000, 'x')).isEmpty());
    EXPECT_EQ(decoder.pendingBytes(), 0);
    EXPECT_EQ(lines(decoder.feed("tail\nnext\n")), QList<QByteArray>{"next"});
    EXPECT_FALSE(decoder.isDiscarding());
}

// The link receives a long line straight into what the decoder holds of it, and the Rate
// Library reader takes out the rows it has read: the lines that come out and the cap must be
// what feeding the same bytes gives.
TEST(LineDecoder, bytesReceivedIntoTheHeldLineOrTakenOutOfItFrameAsFedOnes)
{
    const QByteArray stream = "held line of some length\r\n{\"b\":2}\n\nanother held one\nrest";
    const QList<QByteArray> expected{"held line of some length", "{\"b\":2}", "another held one"};
    for (qsizetype chunk = 1; chunk <= stream.size(); ++chunk) {
        LineDecoder decoder(30);
        QList<QByteArray> out;
        for (qsizetype at = 0; at < stream.size(); at += chunk) {
            const QByteArrayView bytes =
                QByteArrayView(stream).sliced(at, std::min(chunk, stream.size() - at));
            if (decoder.pendingBytes() > 0) {
                QByteArray &held = decoder.heldLine();
                const qsizetype from = held.size();
                held.append(bytes);
                out += lines(decoder.feedHeld(from));
            } else {
                out += lines(decoder.feed(bytes));
            }
        }
        EXPECT_EQ(out, expected) << chunk;
        EXPECT_EQ(decoder.pendingBytes(), 4) << "\"rest\" is held";
    }

    // What a reader took out still counts: 12 bytes held, 8 taken out, 10 more is 22 of 20.
    LineDecoder decoder(20);
    EXPECT_TRUE(decoder.feed("0123456789ab").isEmpty());
    decoder.heldLine().remove(2, 8);
    EXPECT_EQ(decoder.pendingBytes(), 12);
    QByteArray &held = decoder.heldLine();
    held.append("cdefghijkl");
    EXPECT_EQ(lines(decoder.feedHeld(4)), QList<QByteArray>{"<too long>"});
    EXPECT_EQ(lines(decoder.feed("mn\nok\n")), QList<QByteArray>{"ok"});

    // Within the cap, the line comes out without what was taken out.
    LineDecoder reading(20);
    EXPECT_TRUE(reading.feed("0123456789").isEmpty());
    reading.heldLine().remove(2, 6);
    EXPECT_EQ(lines(reading.feed("ab\n")), QList<QByteArray>{"0189ab"});
    EXPECT_EQ(reading.pendingBytes(), 0);
}
