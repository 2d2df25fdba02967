// Any bytes as one line from the companion. Neither reader may crash or read outside the line
// and its padding, and whatever the one-pass reader accepts must be exactly what the general
// decoders and QJsonDocument read, whether or not it takes texts from an earlier library. Read
// as the line arrives, in pieces (small ones here), it must read as the whole line does.

#include "ArrivingRows.h"
#include "LearnedRatesLineReader.h"
#include "LineDecoder.h"
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

// The head's verdict, then the payload's for a Rate Library, as the link makes them.
struct Outcome {
    QString error;
    int v = 0;
    QString type;
    std::optional<LearnedRates> rates;
    bool operator==(const Outcome &) const = default;
};

Outcome decode(QByteArray line, JsonScratch &scratch)
{
    Outcome o;
    const std::size_t capacity = padForDecoding(line);
    const auto head =
        decodeEnvelopeHead(std::string_view(line.constData(), std::size_t(line.size())), capacity, &scratch);
    if (!head) {
        o.error = head.error.text();
        return o;
    }
    o.v = head.value->v;
    o.type = head.value->type;
    if (o.type == u"learnedRates") {
        auto rates = LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
        if (rates)
            o.rates = std::move(*rates.value);
        else
            o.error = rates.error.text();
    }
    return o;
}

// As the link reads the line while it arrives, in chunks of `chunk` bytes, with pieces of a few
// dozen bytes.
Outcome readInPieces(const QByteArray &line, qsizetype chunk)
{
    LineDecoder decoder(1024 * 1024);
    SwitcherProtocol::ArrivingRows arriving({16, 32, 4096});
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
            QByteArray rest = lines.first().text;
            JsonScratch scratch;
            if (arriving.started()) {
                if (auto read = arriving.finish(rest, {}))
                    return {{}, read->v, read->type, std::move(read->rates)};
                if (arriving.tookRows())
                    arriving.standIn(rest, scratch);
            }
            return decode(rest, scratch);
        }
        arriving.read(decoder.heldLine(), line.size(), {});
    }
    return {QStringLiteral("never ended"), 0, {}, {}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    // Lines as the link cuts them: no newline inside, none empty.
    if (!line.contains('\n') && !line.isEmpty() && line != "\r") {
        JsonScratch scratch;
        const Outcome whole = decode(line.endsWith('\r') ? line.chopped(1) : line, scratch);
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
