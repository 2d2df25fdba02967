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
        } else if (m_pending.size() + length > m_maximumLineBytes) {
            // Report at once so the reader can act before the rest of the line arrives.
            m_pending = QByteArray();
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

void LineDecoder::hold(QByteArrayView bytes)
{
    const qsizetype needed = m_pending.size() + bytes.size();
    if (needed > m_pending.capacity() && needed >= roomFrom) {
        // Room never written costs no memory. A little more than the last long line, so that the
        // decoder's padding fits too; half as much again as now when this one is longer.
        const qsizetype room = std::max(m_lastLongLine + m_lastLongLine / 16, needed + needed / 2);
        m_pending.reserve(std::min(room, m_maximumLineBytes + m_maximumLineBytes / 16));
        HeapMemory::preferLargePages(m_pending.constData(), std::size_t(std::max(m_lastLongLine, needed)));
    }
    m_pending.append(bytes);
}

void LineDecoder::finishLine(QByteArrayView tail, QList<Line> &out)
{
    QByteArray line;
    if (m_pending.isEmpty()) {
        line = tail.toByteArray();
    } else {
        hold(tail);
        line = std::move(m_pending);
        m_pending = QByteArray();
    }
    if (line.size() >= roomFrom)
        m_lastLongLine = line.size();
    if (line.endsWith('\r'))
        line.chop(1);
    if (!line.isEmpty())
        out.append(Line{std::move(line), false});
}
