#pragma once

// The companion's answers as the tests send them.

#include "SwitcherProtocol.h"

#include <array>
#include <tuple>

// An answer to an import; the counts in the answer's order: new, updated, known, skipped, outputs
// added, outputs updated.
inline SwitcherProtocol::RateLibraryImported importAnswer(const QString &mode, bool ok = true,
                                                          std::array<qint64, 6> n = {40, 12, 260, 0, 0, 0})
{
    SwitcherProtocol::RateLibraryImported answer;
    answer.mode = mode;
    answer.ok = ok;
    std::tie(answer.newCount, answer.updated, answer.known, answer.skipped, answer.outputsNew,
             answer.outputsUpdated) = std::tuple_cat(n);
    return answer;
}
