#include "PortFile.h"

#include "AtomicFile.h"
#include "RegularFile.h"

#include <QFile>

namespace PortFile {

bool write(const QString &path, quint16 port, QString *error)
{
    return AtomicFile::write(path, QByteArray::number(port) + '\n', error);
}

std::optional<quint16> read(const QString &path)
{
    // Anything but a short regular file is not one we wrote; a FIFO put in its place must not
    // hold up the quit that removes it.
    const RegularFile::Contents file = RegularFile::read(path, 32);
    if (file.status != RegularFile::Status::read)
        return std::nullopt;
    const QByteArray text = file.bytes.trimmed();
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

void remove(const QString &path, quint16 port)
{
    if (read(path) == port)
        QFile::remove(path);
}

} // namespace PortFile
