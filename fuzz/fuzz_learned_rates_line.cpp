// Any bytes as one line from the companion. Neither reader may crash or read outside the line
// and its padding, and whatever the one-pass reader accepts must be exactly what the general
// decoders and QJsonDocument read, whether or not it takes texts from an earlier library. Read
// as the line arrives, in pieces (small ones here), it must read as the whole line does.

#include "ArrivingLine.h"
#include "LearnedRatesLineReader.h"
#include "SwitcherProtocol.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <iostream>

using namespace SwitcherProtocol;

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &line)
{
    std::cerr << what << "\n" << line.left(2000).toStdString() << "\n";
    std::abort();
}

using ArrivingLine::Outcome;

// As the link reads the line while it arrives, in chunks of `chunk` bytes, with pieces of a few
// dozen bytes and no earlier library.
Outcome readInPieces(const QByteArray &line, qsizetype chunk)
{
    ArrivingLine::ReadInPieces read =
        ArrivingLine::readInPieces(line, chunk, {}, nullptr, {16, 32, 4096}, 1024 * 1024);
    if (!read.ended)
        return {QStringLiteral("never ended"), 0, {}, {}, {}};
    return std::move(read.outcome);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    // Lines as the link cuts them: no newline inside, none empty.
    if (!line.contains('\n') && !line.isEmpty() && line != "\r") {
        JsonScratch scratch;
        QByteArray cut = line.endsWith('\r') ? line.chopped(1) : line;
        const Outcome whole = ArrivingLine::decode(cut, scratch);
        for (const qsizetype chunk : {qsizetype(7), qsizetype(1) + qsizetype(size) / 3})
            if (!(readInPieces(line, chunk) == whole))
                fail("read as it arrived, the line reads otherwise than whole", line);
    }
    const std::size_t capacity = padForDecoding(line);
    const std::string_view text(line.constData(), std::size_t(line.size()));

    // The link's way: one scratch for the head and the payload.
    JsonScratch scratch;
    const Decoded<EnvelopeHead> head = decodeEnvelopeHead(text, capacity, &scratch);
    if (head && head.value->type == u"learnedRates")
        (void)LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);

    const std::optional<Detail::LearnedRatesLine> read = Detail::readLearnedRatesLine(text);
    if (!read)
        return 0;
    const Decoded<EnvelopeHead> general = decodeEnvelopeHead(text);
    if (!general || general.value->v != read->v || general.value->type != read->type ||
        general.value->payload != read->payload)
        fail("the one-pass reader accepted a head the general decoder reads otherwise", line);
    const Decoded<QJsonObject> object = payloadObject(read->payload);
    if (!object)
        fail("the one-pass reader accepted a payload QJsonDocument refuses", line);
    const Decoded<LearnedRates> rates = LearnedRates::fromJson(*object.value);
    if (!rates || *rates.value != read->rates)
        fail("the one-pass reader read rows that fromJson reads otherwise", line);

    // Read again taking texts from a library read before: its own rows, one place off, so that
    // rows are matched both wrongly and, after following the ids, rightly.
    QList<LearnedRates::Row> earlier = read->rates.rows;
    if (!earlier.isEmpty())
        earlier.move(0, earlier.size() - 1);
    const std::optional<Detail::LearnedRatesLine> again = Detail::readLearnedRatesLine(text, &earlier);
    if (!again || again->rates != read->rates)
        fail("taking texts from an earlier library changed what was read", line);
    return 0;
}
