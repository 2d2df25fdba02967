#pragma once

#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>

// A file that stands in for what this platform lacks (MusicApp.json for Music.app,
// OutputDevice.json for the sound card), read as the app reads its own files: only a regular file
// of a bounded size, opened without waiting. A FIFO in its place would block the start before the
// event loop, and a link to a device that never ends would fill the memory. When the file can't
// be used, the log says why and what stands in for it, once until that changes.
class StandInFile final {
public:
    // Far more than any description of Music.app or a sound card needs; the history has the same.
    static constexpr qint64 maximumBytes = 32LL * 1024 * 1024;

    // `fallback` ends the log line: what the app uses instead ("Music.app counts as not running").
    StandInFile(QString path, QString fallback);

    const QString &path() const { return m_path; }
    // Says why an object can't be used, or nothing when it can.
    using Check = std::function<QString(const QJsonObject &)>;

    // The file's JSON object; none when there is no file or it can't be used.
    std::optional<QJsonObject> read(const Check &check = {});

private:
    void reject(const QString &why);

    QString m_path;
    QString m_fallback;
    QString m_lastRejection;
};
