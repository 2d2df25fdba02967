#pragma once

// A companion's line read as the link reads it, whole or while it arrives: for the arriving rows'
// tests and the line's fuzz target, which must find the two readings the same. Test framework
// free, so that the fuzz target can use it too.

#include "ArrivingRows.h"
#include "LineDecoder.h"
#include "SwitcherProtocol.h"

#include <QByteArrayView>
#include <QList>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>

class QThreadPool;

namespace ArrivingLine {

using SwitcherProtocol::ArrivingRows;
using SwitcherProtocol::JsonScratch;
using SwitcherProtocol::LearnedRates;

// What the link makes of one line: the head's verdict, then the payload's for a Rate Library.
struct Outcome {
    QString headError;
    int v = 0;
    QString type;
    QString payloadError;
    std::optional<LearnedRates> rates;
    bool operator==(const Outcome &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const Outcome &o)
{
    return out << "head error '" << o.headError.toStdString() << "' v " << o.v << " type '"
               << o.type.toStdString() << "' payload error '" << o.payloadError.toStdString() << "' rows "
               << (o.rates ? o.rates->rows.size() : -1);
}

// The head, then the payload when it is a Rate Library, with one scratch; pads `line` for it.
inline Outcome decode(QByteArray &line, JsonScratch &scratch)
{
    Outcome o;
    const std::size_t capacity = SwitcherProtocol::padForDecoding(line);
    const auto head = SwitcherProtocol::decodeEnvelopeHead(
        std::string_view(line.constData(), std::size_t(line.size())), capacity, &scratch);
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

// The line held whole, taking texts from `earlier` as the link does from the library before.
inline Outcome readWhole(QByteArray line, const QList<LearnedRates::Row> &earlier)
{
    JsonScratch scratch;
    scratch.shareTextsWith(earlier);
    return decode(line, scratch);
}

struct ReadInPieces {
    Outcome outcome;
    qsizetype mostHeld = 0; // the most the line decoder held of the line
    bool started = false;   // whether the rows were read as the line arrived
    bool ended = false;     // whether the line decoder gave the line back at its newline
    qsizetype lines = 0;    // how many lines it gave back then (one, the line)
};

// As the link does it: the line arrives in chunks of `chunk` bytes, received into the line held
// so far (by a line decoder capped at `maximumLineBytes`), which the arriving rows read after
// each chunk, on `pool` or at once without one.
inline ReadInPieces readInPieces(const QByteArray &line, qsizetype chunk,
                                 const QList<LearnedRates::Row> &earlier, QThreadPool *pool,
                                 ArrivingRows::Sizes sizes, qsizetype maximumLineBytes)
{
    ReadInPieces result;
    LineDecoder decoder(maximumLineBytes);
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
            result.ended = true;
            result.lines = lines.size();
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
    return result;
}

} // namespace ArrivingLine
