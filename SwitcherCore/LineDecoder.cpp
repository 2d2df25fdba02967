#include "LineDecoder.h"

#include "HeapMemory.h"

#include <algorithm>
#include <cstring>

LineDecoder::LineDecoder(qsizetype maximumLineBytes) : m_maximumLineBytes(maximumLineBytes) {}

QList<LineDecoder::Line> LineDecoder::feed(QByteArrayView bytes)
{
    QList<Line> out;
    const char *data = bytes.data();
    qsizetype pos = 0;
    const qsizetype size = bytes.size();
    while (pos < size) {
        const auto *nl = static_cast<const char *>(std::memchr(data + pos, '\n', size_t(size - pos)));
        const qsizetype end = nl ? qsizetype(nl - data) : size;
        const qsizetype length = end - pos;

        if (m_discarding) {
            if (!nl)
                return out;
            m_discarding = false;
        } else if (m_pendingBytes + length > m_maximumLineBytes) {
            // Report at once so the reader can act before the rest of the line arrives.
            m_pending = QByteArray();
            m_pendingBytes = 0;
            out.append(Line{{}, true});
            m_discarding = !nl;
            if (!nl)
                return out;
        } else if (!nl) {
            hold(QByteArrayView(data + pos, length));
            return out;
        } else {
            finishLine(QByteArrayView(data + pos, length), out);
        }
        pos = end + 1;
    }
    return out;
}

QList<LineDecoder::Line> LineDecoder::feedHeld(qsizetype from)
{
    const qsizetype added = m_pending.size() - from;
    if (!std::memchr(m_pending.constData() + from, '\n', std::size_t(added)) &&
        m_pendingBytes + added <= m_maximumLineBytes) {
        m_pendingBytes += added;
        return {};
    }
    const QByteArray bytes = m_pending.sliced(from);
    m_pending.truncate(from);
    return feed(bytes);
}

void LineDecoder::makeRoom(qsizetype bytes)
{
    const qsizetype needed = m_pending.size() + bytes;
    if (needed <= m_pending.capacity())
        return;
    if (needed < roomFrom) {
        m_pending.reserve(std::max(needed, 2 * m_pending.capacity()));
        return;
    }
    // Room never written costs no memory. A little more than the last long line, so that the
    // decoder's padding fits too; half as much again as now when this one is longer.
    const qsizetype room = std::max(m_lastLongLine + m_lastLongLine / 16, needed + needed / 2);
    m_pending.reserve(std::min(room, m_maximumLineBytes + m_maximumLineBytes / 16));
    HeapMemory::preferLargePages(m_pending.constData(), std::size_t(std::max(m_lastLongLine, needed)));
}

void LineDecoder::hold(QByteArrayView bytes)
{
    m_pendingBytes += bytes.size();
    makeRoom(bytes.size());
    m_pending.append(bytes);
}

void LineDecoder::finishLine(QByteArrayView tail, QList<Line> &out)
{
    QByteArray line;
    qsizetype length = tail.size();
    if (m_pendingBytes == 0) {
        line = tail.toByteArray();
    } else {
        hold(tail);
        length = m_pendingBytes;
        line = std::move(m_pending);
        m_pending = QByteArray();
        m_pendingBytes = 0;
    }
    if (length >= roomFrom)
        m_lastLongLine = length;
    if (line.endsWith('\r'))
        line.chop(1);
    if (!line.isEmpty())
        out.append(Line{std::move(line), false});
}
