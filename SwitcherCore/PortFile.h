#pragma once

#include <QString>

#include <optional>

// The port file tells the companion where the switcher listens: the port as decimal text and a
// newline, in the file "port" of the data folder.
namespace PortFile {

inline constexpr const char *fileName = "port";

// Writes atomically; on failure returns false and fills `error`.
bool write(const QString &path, quint16 port, QString *error = nullptr);
// The port the file names; none when it is missing or holds anything but a port.
std::optional<quint16> read(const QString &path);
// Removes the file when it still names `port` (a newer listener may have replaced it).
void remove(const QString &path, quint16 port);

} // namespace PortFile
