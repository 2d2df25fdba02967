#include "RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

Contents read(const QString &path, qint64 maximumBytes, const Options &options)
{
    Contents contents;
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const Descriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        // A path through something that is not a folder names no file either.
        contents.status = errno == ENOENT || errno == ENOTDIR ? Status::missing : Status::unreadable;
        contents.error = systemError(errno);
        return contents;
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0) {
        contents.status = Status::unreadable;
        contents.error = systemError(errno);
        return contents;
    }
    contents.size = info.st_size;
    if (!S_ISREG(info.st_mode)) {
        contents.status = Status::notRegular;
        return contents;
    }
    if (info.st_size > maximumBytes) {
        contents.status = Status::tooLarge;
        return contents;
    }

    // One byte more than the file claims, to see it end; it grows only if the file does.
    QByteArray bytes;
    const auto setSize = [&bytes, &options](qint64 size) {
        bytes.reserve(qsizetype(size) + options.spareCapacity);
        bytes.resize(qsizetype(size));
    };
    setSize(info.st_size + 1);
    qsizetype filled = 0;
    for (;;) {
        if (options.cancelled && options.cancelled->load(std::memory_order_relaxed)) {
            contents.status = Status::unreadable;
            return contents;
        }
        if (filled == bytes.size()) {
            if (filled > maximumBytes) {
                contents.status = Status::tooLarge;
                contents.size = filled;
                return contents;
            }
            setSize(std::min<qint64>(maximumBytes + 1, qint64(filled) + 1024 * 1024));
        }
        // In steps, so that a cancelled read of a large file ends soon.
        const size_t wanted = std::min<size_t>(size_t(bytes.size() - filled), 4 * 1024 * 1024);
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            contents.status = Status::unreadable;
            contents.error = systemError(errno);
            return contents;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    contents.status = Status::read;
    contents.size = filled;
    contents.bytes = std::move(bytes);
    return contents;
}

} // namespace RegularFile
