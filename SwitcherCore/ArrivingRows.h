#pragma once

#include "LearnedRatesLineReader.h"

#include <QByteArray>

#include <deque>
#include <memory>
#include <vector>

class QThreadPool;

namespace SwitcherProtocol {

// The companion sends its whole Rate Library, 100,000 rows in a 28 MB line, after every change.
// Held whole, that line would sit in memory beside the rows decoded from it and the library on
// show, and its decode would start only once its last byte had come. Instead, while the line
// arrives, the rows that have come whole are taken out of it in pieces of 128 kB or more, each
// read on a thread of a pool and added to the library in order by the thread that read it: what
// is held stays a few hundred kB, and the rows are read about as fast as they come.
//
// A piece ends where a row seems to end (at "},{"), which a text may fool; but a piece counts
// only once every piece before it has read, each all of it, row after row: then it began where a
// row really ended. From the first piece that does not read, the text goes back into the line
// and is read in order with the rest of it. Whatever the finished line turns out to be, it is
// read as if it had been held whole: when the one-pass reader gives up on it, the general
// decoders read it with a stand-in for the rows taken out (JsonScratch::standInForRows).
class ArrivingRows final {
public:
    struct Sizes {
        qsizetype readFrom = 64 * 1024;     // a shorter line is read when it ends, as any other
        qsizetype piece = 128 * 1024;       // about this much text, or more, goes to each piece
        qsizetype rowsWithin = 1024 * 1024; // where the rows have not begun by then, the line is
                                            // not a Rate Library read this way
    };

    ArrivingRows();
    explicit ArrivingRows(Sizes sizes); // for tests
    ~ArrivingRows();
    ArrivingRows(ArrivingRows &&) noexcept;
    ArrivingRows &operator=(ArrivingRows &&) noexcept;

    // After bytes were added to the unfinished line, `held` (what is left of it): notes where its
    // rows begin, and takes out of it the pieces that have come since, to be read on `pool` (or
    // at once, without one). `expectedBytes` is about how long the whole line will be (0 when
    // unknown); `earlier` as for readLearnedRatesLine, the same for the whole line. Does nothing
    // for short lines, nor once the line has shown it is not a Rate Library.
    void read(QByteArray &held, qsizetype expectedBytes, const QList<LearnedRates::Row> &earlier,
              QThreadPool *pool = nullptr);

    // Whether the rows of the line were found: the finished line then goes through finish().
    bool started() const { return m_state.rowsAt >= 0; }

    // The finished line, what is left of it: the line as readLearnedRatesLine reads the whole
    // line (the payload's view is of what is left), or none when that reader gives up on it.
    // Waits for the pieces still being read; text that could not be read in pieces goes back into
    // `rest`. When the reader gave up and rows were taken out, standIn() prepares `rest` for the
    // general decoders; with none taken out, `rest` is the line as it came.
    std::optional<Detail::LearnedRatesLine> finish(QByteArray &rest, const QList<LearnedRates::Row> &earlier);

    // Whether rows read are no longer in the line (after finish(), those of the pieces that read).
    bool tookRows() const { return !m_state.rows.isEmpty(); }

    // After finish() gave none: puts a stand-in for the rows taken out into `rest` and hands the
    // rows to `scratch`; decodeEnvelopeHead and LearnedRates::fromJsonText with that scratch then
    // read `rest` as the whole line.
    void standIn(QByteArray &rest, JsonScratch &scratch);

private:
    struct Piece;
    struct Assembly;
    void send(const QByteArray &line, qsizetype from, qsizetype length, qsizetype expectedBytes,
              const QList<LearnedRates::Row> &earlier, QThreadPool *pool);
    bool pieceAdded(const Piece &piece) const;
    // After a piece that did not read: waits for every piece sent, then puts the text of that
    // one and of those after it back into the line, after the rows' '['.
    void putBack(QByteArray &line);

    Sizes m_sizes;
    Detail::ArrivingState m_state;
    std::shared_ptr<Assembly> m_assembly;        // once the rows have begun
    std::deque<std::shared_ptr<Piece>> m_pieces; // sent, their text kept until added
    qsizetype m_sent = 0;                        // pieces sent
    qsizetype m_bytesSent = 0;                   // their text
    std::vector<QByteArray> m_spares;            // memory for what is held next
    bool m_gaveUp = false;
    bool m_inOrder = false; // after a piece that did not read: the rest is read when the line ends
};

} // namespace SwitcherProtocol
