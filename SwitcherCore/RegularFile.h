#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>

// Reading a file of our own whose size we bound. Only a regular file is read: opening a FIFO
// would wait for a writer forever, and a device never ends. The size is checked on the opened
// file, so that nothing swapped in after a check is read instead.
namespace RegularFile {

enum class Status { read, missing, notRegular, tooLarge, unreadable };

struct Contents {
    Status status = Status::missing;
    QByteArray bytes; // the whole file, when read
    qint64 size = 0;  // its size as found, also when it was too large
    QString error;    // the system's reason, when unreadable
};

struct Options {
    // Capacity left free behind the bytes, for a parser that reads past the end.
    qsizetype spareCapacity = 0;
    // Once it turns true the read stops early, as unreadable; the caller knows why.
    const std::atomic<bool> *cancelled = nullptr;
};

// The file's bytes when it is a regular file of at most `maximumBytes`; a file that grows past
// the bound while it is read counts as too large.
Contents read(const QString &path, qint64 maximumBytes, const Options &options = {});

} // namespace RegularFile
