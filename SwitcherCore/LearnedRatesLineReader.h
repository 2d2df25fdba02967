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

} // namespace SwitcherProtocol::Detail
