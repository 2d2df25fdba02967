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
