#include "ArrivingRows.h"

#include "HeapMemory.h"

#include <QMutex>
#include <QThreadPool>
#include <QWaitCondition>

#include <atomic>
#include <cstring>
#include <map>

namespace SwitcherProtocol {

namespace {

// Pieces sent and not yet added, at most.
constexpr qsizetype piecesAhead = 8;
// How far from where it is expected the earlier row of a piece's first row is looked for.
constexpr qsizetype earlierReach = 256;

std::string_view view(const QByteArray &text)
{
    return {text.constData(), std::size_t(text.size())};
}

// The first place in [from, end) where one row ends and the next begins in the companion's
// compact JSON: "},{", at its '}'.
const char *findSeam(const char *from, const char *end)
{
    while (end - from >= 3) {
        const auto *brace = static_cast<const char *>(std::memchr(from, '}', std::size_t(end - from - 2)));
        if (!brace)
            return nullptr;
        if (brace[1] == ',' && brace[2] == '{')
            return brace;
        from = brace + 1;
    }
    return nullptr;
}

// The last such place in [from, end).
const char *findLastSeam(const char *from, const char *end)
{
    while (end - from >= 3) {
        const auto *brace = static_cast<const char *>(memrchr(from, '}', std::size_t(end - from - 2)));
        if (!brace)
            return nullptr;
        if (brace[1] == ',' && brace[2] == '{')
            return brace;
        end = brace + 2;
    }
    return nullptr;
}

} // namespace

struct ArrivingRows::Piece {
    QByteArray line; // what was held of the line when the piece was cut from it
    qsizetype from = 0;
    qsizetype length = 0;
    qsizetype index = 0;
    Detail::RowPiece read;
    bool ok = false;
};

// Where the pieces' rows come together, in order. Whichever thread reads the piece that is next
// adds it, and the pieces after it that were read meanwhile: no thread waits for another.
struct ArrivingRows::Assembly {
    QMutex mutex;
    QWaitCondition progress;
    qsizetype added = 0;                                 // pieces whose turn has passed
    qsizetype bytesAdded = 0;                            // their text
    qsizetype failedAt = -1;                             // the first piece that did not read
    std::map<qsizetype, std::shared_ptr<Piece>> waiting; // read, not yet added
    QList<LearnedRates::Row> rows;
    qsizetype drift = 0; // where the last piece left the matching of earlier rows, less the rows added
    std::atomic<bool> failed{false};

    void add(const std::shared_ptr<Piece> &piece)
    {
        QMutexLocker lock(&mutex);
        waiting.emplace(piece->index, piece);
        for (auto next = waiting.find(added); next != waiting.end(); next = waiting.find(added)) {
            Piece &p = *next->second;
            if (failedAt < 0 && p.ok) {
                rows.append(std::move(p.read.rows));
                drift = p.read.earlierNext - rows.size();
                bytesAdded += p.length;
            } else if (failedAt < 0) {
                failedAt = p.index;
                failed = true;
            }
            p.read.rows = {};
            waiting.erase(next);
            ++added;
        }
        progress.wakeAll();
    }

    // Until `count` pieces have had their turn.
    void wait(qsizetype count)
    {
        QMutexLocker lock(&mutex);
        while (added < count)
            progress.wait(&mutex);
    }
};

ArrivingRows::ArrivingRows() : ArrivingRows(Sizes{}) {}
ArrivingRows::ArrivingRows(Sizes sizes) : m_sizes(sizes) {}
ArrivingRows::~ArrivingRows() = default;
ArrivingRows::ArrivingRows(ArrivingRows &&) noexcept = default;
ArrivingRows &ArrivingRows::operator=(ArrivingRows &&) noexcept = default;

void ArrivingRows::read(QByteArray &held, qsizetype expectedBytes, const QList<LearnedRates::Row> &earlier,
                        QThreadPool *pool)
{
    Detail::ArrivingState &a = m_state;
    if (m_gaveUp || m_inOrder)
        return;
    // The reader's wide loads read up to 16 bytes past the end.
    if (held.capacity() - held.size() < qsizetype(jsonPadding))
        held.reserve(held.size() + qsizetype(jsonPadding));
    if (a.rowsAt < 0) {
        if (held.size() < m_sizes.readFrom)
            return;
        (void)Detail::readArrivingLine(view(held), nullptr, a); // stops where the rows begin
        if (a.rowsAt < 0) {
            m_gaveUp = held.size() >= m_sizes.rowsWithin;
            return;
        }
        m_assembly = std::make_shared<Assembly>();
    }
    if (m_assembly->failed) {
        putBack(held);
        return;
    }
    const qsizetype from = a.rowsAt + 1;
    if (held.size() - from < m_sizes.piece)
        return;
    const char *const last = findLastSeam(held.constData() + from, held.constData() + held.size());
    if (!last)
        return;
    // The pieces are all the rows that have come whole. They take the held text as it is, and
    // what the line goes on with is the text before the rows and the row cut off: nothing large
    // is copied on the thread receiving the line.
    const qsizetype stop = last + 1 - held.constData();
    QByteArray spare;
    if (!m_spares.empty()) {
        spare = std::move(m_spares.back());
        m_spares.pop_back();
    }
    const QByteArray taken = std::exchange(held, std::move(spare));
    held.resize(0);
    held.append(taken.constData(), from);
    held.append(taken.constData() + stop, taken.size() - stop);
    a.bytesGone += stop - from;

    for (qsizetype cut = from; cut < stop;) {
        qsizetype end = stop;
        if (stop - cut >= 2 * m_sizes.piece) {
            if (const char *seam =
                    findSeam(taken.constData() + cut + m_sizes.piece, taken.constData() + stop))
                end = seam + 1 - taken.constData();
        }
        send(taken, cut, end - cut, expectedBytes, earlier, pool);
        cut = end;
    }
    // The text of pieces added is no longer needed. Its memory takes what is held next: freed
    // and asked for again, it would come back as fresh pages, each stopping this thread.
    while (!m_pieces.empty() && pieceAdded(*m_pieces.front())) {
        QByteArray line = std::move(m_pieces.front()->line);
        m_pieces.pop_front();
        if (line.isDetached() && qsizetype(m_spares.size()) < piecesAhead + 2)
            m_spares.push_back(std::move(line));
    }
}

void ArrivingRows::send(const QByteArray &line, qsizetype from, qsizetype length, qsizetype expectedBytes,
                        const QList<LearnedRates::Row> &earlier, QThreadPool *pool)
{
    auto piece = std::make_shared<Piece>();
    piece->line = line;
    piece->from = from;
    piece->length = length;
    // Pieces read more slowly than they come are not let pile up: the line stops being read from
    // the system (which then holds up the companion) until the readers catch up.
    if (m_sent >= piecesAhead)
        m_assembly->wait(m_sent - piecesAhead + 1);
    {
        // Where its first row stood in the library before, about: after the rows added, as many
        // rows as the text of the pieces still being read holds.
        QMutexLocker lock(&m_assembly->mutex);
        const qsizetype added = m_assembly->rows.size();
        const double bytesPerRow = added > 0 ? double(m_assembly->bytesAdded) / double(added)
                                   : !earlier.isEmpty() && expectedBytes > 0
                                       ? double(expectedBytes) / double(earlier.size())
                                       : 0;
        const qsizetype ahead =
            bytesPerRow > 0 ? qsizetype(double(m_bytesSent - m_assembly->bytesAdded) / bytesPerRow) : 0;
        piece->read.earlierNext = added + m_assembly->drift + ahead;
        piece->read.reach = m_sent == 0 ? 0 : earlierReach;
        if (bytesPerRow > 0)
            piece->read.rows.reserve(qsizetype(double(length) / bytesPerRow * 1.1) + 16);
        if (m_sent == 0 && bytesPerRow > 0) {
            // Room for as many rows as the whole line holds (pages of it never written cost no
            // memory), made resident meanwhile on a thread of its own: the pieces are added one
            // after the other, and each would wait for its pages.
            const auto expected = qsizetype(double(expectedBytes) / bytesPerRow);
            m_assembly->rows.reserve(expected + expected / 8);
            const auto makeResident = [data = m_assembly->rows.constData(),
                                       bytes = std::size_t(expected) * sizeof(LearnedRates::Row)] {
                HeapMemory::makeResident(data, bytes);
            };
            if (pool)
                pool->start(makeResident);
        }
    }
    piece->index = m_sent++;
    m_bytesSent += length;
    m_pieces.push_back(piece);
    auto readPiece = [piece, earlier, assembly = m_assembly] {
        const std::string_view text =
            view(piece->line).substr(std::size_t(piece->from), std::size_t(piece->length));
        piece->ok = Detail::readRowPiece(text, piece->index == 0, earlier.isEmpty() ? nullptr : &earlier,
                                         piece->read);
        assembly->add(piece);
    };
    if (pool)
        pool->start(readPiece);
    else
        readPiece();
}

bool ArrivingRows::pieceAdded(const Piece &piece) const
{
    QMutexLocker lock(&m_assembly->mutex);
    return piece.index < m_assembly->added &&
           (m_assembly->failedAt < 0 || piece.index < m_assembly->failedAt);
}

void ArrivingRows::putBack(QByteArray &line)
{
    m_inOrder = true;
    m_assembly->wait(m_sent);
    QByteArray text;
    for (const auto &piece : m_pieces) {
        if (piece->index >= m_assembly->failedAt)
            text.append(piece->line.constData() + piece->from, piece->length);
    }
    m_pieces.clear();
    line.insert(m_state.rowsAt + 1, text);
    m_state.bytesGone -= text.size();
}

std::optional<Detail::LearnedRatesLine> ArrivingRows::finish(QByteArray &rest,
                                                             const QList<LearnedRates::Row> &earlier)
{
    Detail::ArrivingState &a = m_state;
    if (m_assembly) {
        m_assembly->wait(m_sent);
        if (m_assembly->failed && !m_inOrder)
            putBack(rest);
        a.rows = std::exchange(m_assembly->rows, {});
        a.earlierNext = a.rows.size() + m_assembly->drift;
        m_assembly.reset();
        m_pieces.clear();
    }
    a.lineEnded = true;
    const qsizetype taken = a.rows.size();
    padForDecoding(rest);
    std::optional<Detail::LearnedRatesLine> read =
        Detail::readArrivingLine(view(rest), earlier.isEmpty() ? nullptr : &earlier, a);
    if (!read) {
        a.rows.resize(taken);
        return std::nullopt;
    }
    read->rates.rows = std::exchange(a.rows, {});
    return read;
}

void ArrivingRows::standIn(QByteArray &rest, JsonScratch &scratch)
{
    rest.insert(m_state.rowsAt + 1, '0');
    scratch.standInForRows(std::size_t(m_state.rowsAt), std::exchange(m_state.rows, {}));
}

} // namespace SwitcherProtocol
