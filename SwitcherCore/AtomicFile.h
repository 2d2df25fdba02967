#pragma once

#include <QByteArray>
#include <QString>

// Every file of our own is written through here: a temporary file beside the target, then an
// atomic rename, so a reader never sees half a file and a failed write leaves the old one.
namespace AtomicFile {

// True on success; otherwise `error` (when given) says why and the target is untouched.
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace AtomicFile
