#pragma once

// Peak memory of one operation, read from /proc/self/status: VmHWM is reset through
// /proc/self/clear_refs before it, so the peak shows how far resident memory rose above what was
// already there. Freed heap memory is handed back first so that it cannot hide the rise.

#include <QByteArray>
#include <QFile>

#include <cstring>
#include <malloc.h>

namespace BenchMemory {

// A field of /proc/self/status in kB; -1 when it cannot be read.
inline qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &row : status.readAll().split('\n'))
        if (row.startsWith(field))
            return row.mid(qsizetype(strlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

inline bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

struct Rise {
    qint64 peakBytes = -1; // resident memory at the peak, above the start
    qint64 keptBytes = -1; // resident memory after, above the start, with what `run` returned
};

// Runs `run` and measures the rise; `run`'s result lives until the figures are read.
template <class Run> Rise measureRise(Run run)
{
    malloc_trim(0);
    if (!resetPeak())
        return {};
    const qint64 before = statusKb("VmRSS:");
    auto kept = run();
    const qint64 peak = statusKb("VmHWM:");
    const qint64 after = statusKb("VmRSS:");
    (void)kept;
    return {(peak - before) * 1024, (after - before) * 1024};
}

} // namespace BenchMemory
