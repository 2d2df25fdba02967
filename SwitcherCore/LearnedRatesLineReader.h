#pragma once

// A one-pass reader for the line that carries a whole Rate Library. Not part of the protocol's
// public face: decodeEnvelopeHead tries it on large lines before the general decoders.

#include "SwitcherProtocol.h"

#include <optional>
#include <string_view>

namespace SwitcherProtocol::Detail {

struct LearnedRatesLine {
    int v = 0;
    QString type;
    std::string_view payload; // the payload object's text, inside the text that was read
    LearnedRates rates;
};

// Reads `text` when it is a well-formed "learnedRates" line whose values all have the types the
// records want; at least 16 bytes past the text's end must be readable. Anything else (damage,
// a wrong type, a duplicate key, another message) gives none, and the general decoders then
// read the line and say what is wrong with it, so this reader never has to phrase an error.
// Whatever it accepts, it reads as LearnedRates::fromJson does.
//
// `earlier`, when given, are the rows of a Rate Library read before: a text that reads the same
// as the earlier row's at that place is taken from it, shared, instead of being made again. The
// companion sends its whole library after every change, so nearly every text is the same, and
// the earlier library and the new one then hold one copy of them between them.
std::optional<LearnedRatesLine> readLearnedRatesLine(std::string_view text,
                                                     const QList<LearnedRates::Row> *earlier = nullptr);

// A "learnedRates" line read as it arrives (see ArrivingRows). Offsets are in the text as it is
// held, out of which the rows read are taken.
struct ArrivingState {
    qsizetype rowsAt = -1;         // where the rows array's '[' stands; -1 until it has come
    bool lineEnded = false;        // until then, reading stops at the '['
    QList<LearnedRates::Row> rows; // the rows read, whose text is gone from after the '['
    qsizetype bytesGone = 0;       // how much text that was
    qsizetype earlierNext = 0;     // where the matching of earlier rows goes on
};

// Reads the line held so far up to its rows (the state then knows where they begin), or, once
// the line has ended, the whole line with the rows read before. As readLearnedRatesLine, but
// the rows of the result are left in the state.
std::optional<LearnedRatesLine>
readArrivingLine(std::string_view text, const QList<LearnedRates::Row> *earlier, ArrivingState &state);

// The rows of a piece of a rows array.
struct RowPiece {
    QList<LearnedRates::Row> rows;
    qsizetype earlierNext = 0; // about where the earlier row of the first row is; after reading, next
    qsizetype reach = 0;       // how far from there the earlier row of the first row may be
};

// Reads `text` as a piece of a rows array, all of it: from just after the '[' when `first`,
// else from the ',' after a row, to the end of a row. At least 16 bytes past the text's end must
// be readable. False on anything else, as when the piece does not begin where a row ends.
bool readRowPiece(std::string_view text, bool first, const QList<LearnedRates::Row> *earlier,
                  RowPiece &piece);

} // namespace SwitcherProtocol::Detail
