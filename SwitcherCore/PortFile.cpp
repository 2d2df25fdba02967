#include "PortFile.h"

#include "AtomicFile.h"

#include <QFile>

namespace PortFile {

bool write(const QString &path, quint16 port, QString *error)
{
    return AtomicFile::write(path, QByteArray::number(port) + '\n', error);
}

std::optional<quint16> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.read(32).trimmed();
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
