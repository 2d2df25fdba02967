#include "LineDecoder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QList<QByteArray> lines(const QList<LineDecoder::Line> &decoded)
{
    QList<QByteArray> out;
    for (const auto &line : decoded)
        out.append(line.tooLong ? QByteArray("<too long>") : line.text);
    return out;
}

QList<QByteArray> feedInChunks(LineDecoder &decoder, const QByteArray &stream, const QList<qsizetype> &cuts)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        out += lines(decoder.feed(QByteArrayView(stream).sliced(from, cut - from)));
        from = cut;
    }
    out += lines(decoder.feed(QByteArrayView(stream).sliced(from)));
    return out;
}

} // namespace

TEST(LineDecoder, cutsLinesWhereverTheChunksEnd)
{
    const QByteArray stream = "{\"a\":1}\n{\"b\":2}\r\n\n\r\n{\"c\":3}\npartial";
    const QList<QByteArray> expected{"{\"a\":1}", "{\"b\":2}", "{\"c\":3}"};

    LineDecoder whole(1024);
    EXPECT_EQ(lines(whole.feed(stream)), expected);
    EXPECT_EQ(whole.pendingBytes(), 7); // "partial" waits for its newline
    EXPECT_EQ(lines(whole.feed("ly done\n")), QList<QByteArray>{"partially done"});

    // Every way of cutting the stream into two or three chunks gives the same lines.
    for (qsizetype i = 0; i <= stream.size(); ++i) {
        for (qsizetype j = i; j <= stream.size(); j += 3) {
            LineDecoder decoder(1024);
            EXPECT_EQ(feedInChunks(decoder, stream, {i, j}), expected) << i << " " << j;
        }
    }

    LineDecoder bytewise(1024);
    QList<QByteArray> out;
    for (char c : stream)
        out += lines(bytewise.feed(QByteArrayView(&c, 1)));
    EXPECT_EQ(out, expected);
}

TEST(LineDecoder, reportsAnOverlongLineAtOnceAndHoldsNoneOfIt)
{
    LineDecoder decoder(8);
    // Exactly at the cap is fine; a '\r' before the newline counts toward the line's bytes.
    EXPECT_EQ(lines(decoder.feed("12345678\n")), QList<QByteArray>{"12345678"});

    // The first line comes out, then the report, before the long line's newline arrives.
    EXPECT_EQ(lines(decoder.feed("ok\n123456")), QList<QByteArray>{"ok"});
    EXPECT_EQ(lines(decoder.feed("789")), QList<QByteArray>{"<too long>"});
    EXPECT_TRUE(decoder.isDiscarding());
    EXPECT_EQ(decoder.pendingBytes(), 0);

    // The rest of the long line is thrown away as it comes, reported only once.
    EXPECT_TRUE(decoder.feed(QByteArray(100000, 'x')).isEmpty());
    EXPECT_EQ(decoder.pendingBytes(), 0);
    EXPECT_EQ(lines(decoder.feed("tail\nnext\n")), QList<QByteArray>{"next"});
    EXPECT_FALSE(decoder.isDiscarding());

    // A long line that ends inside one chunk is reported in its place among the others.
    EXPECT_EQ(lines(decoder.feed("a\n0123456789\nb\n")), (QList<QByteArray>{"a", "<too long>", "b"}));
}

TEST(LineDecoder, randomChunkingNeverChangesTheResult)
{
    std::mt19937 rng(7);
    QByteArray stream;
    QList<QByteArray> expected;
    for (int i = 0; i < 200; ++i) {
        const int length = std::uniform_int_distribution<int>(0, 40)(rng);
        QByteArray line(length, char('a' + i % 26));
        const bool crlf = i % 5 == 0;
        stream += line + (crlf ? "\r\n" : "\n");
        if (length + (crlf ? 1 : 0) > 32)
            expected.append("<too long>");
        else if (!line.isEmpty())
            expected.append(line);
    }
    for (int round = 0; round < 20; ++round) {
        LineDecoder decoder(32);
        QList<QByteArray> out;
        qsizetype pos = 0;
        while (pos < stream.size()) {
            const qsizetype n =
                std::min<qsizetype>(std::uniform_int_distribution<int>(1, 64)(rng), stream.size() - pos);
            out += lines(decoder.feed(QByteArrayView(stream).sliced(pos, n)));
            pos += n;
        }
        EXPECT_EQ(out, expected) << "round " << round;
    }
}
