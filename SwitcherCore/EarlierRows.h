#pragma once

#include "SwitcherProtocol.h"

#include <algorithm>
#include <utility>

// The companion sends its whole Rate Library after every change, so a new library is mostly the
// one before it. This matches the rows of a new library, in order, with the rows of the one
// before: the row at the same place, following the ids where a few rows moved, came or went (a
// played track moved to the top, a track learned, one forgotten). A wrong match must only ever
// cost a missed chance: callers take over only what they find to be the same.
namespace SwitcherProtocol {

class EarlierRows final {
public:
    // `next`: where a matching taken up again left off (see next()), or, with `reach`, about
    // where it goes on: the first row is then looked for that far on either side.
    explicit EarlierRows(const QList<LearnedRates::Row> *rows, qsizetype next = 0, qsizetype reach = 0)
        : m_rows(rows), m_next(std::max<qsizetype>(next, 0)), m_reach(reach)
    {
    }

    // The place of the earlier row expected next.
    qsizetype next() const { return m_next; }

    // The earlier row expected at the place of the next row; none past the end.
    const LearnedRates::Row *expected() const
    {
        return m_rows && m_next < m_rows->size() ? &m_rows->at(m_next) : nullptr;
    }

    // After each row, with its id: the earlier row with that id at or near the expected place,
    // none when there is no such row. The next row is expected after it.
    const LearnedRates::Row *passed(const QString &id)
    {
        if (!m_rows)
            return nullptr;
        const qsizetype reach = std::max<qsizetype>(std::exchange(m_reach, 0), 3);
        const auto matches = [&](qsizetype at) {
            return at >= 0 && at < m_rows->size() &&
                   (m_rows->at(at).id.isSharedWith(id) || m_rows->at(at).id == id);
        };
        for (qsizetype step = 0; step <= reach; ++step) {
            for (const qsizetype at : {m_next + step, m_next - step}) {
                if (matches(at)) {
                    m_next = at + 1;
                    return &m_rows->at(at);
                }
                if (step == 0)
                    break;
            }
        }
        ++m_next;
        return nullptr;
    }

private:
    const QList<LearnedRates::Row> *m_rows;
    qsizetype m_next;
    qsizetype m_reach;
};

} // namespace SwitcherProtocol
