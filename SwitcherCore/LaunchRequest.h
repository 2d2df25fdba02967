#pragma once

// What a launch asks of the running app: windows to open (CORVANE_SWITCHER_OPEN) and a Rate
// Library file to preview (the first argument that names one). A second launch hands it over as
// one line on the local socket; the running app reads whatever arrives there, so the reader
// takes any bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct LaunchRequest {
    QStringList windowIds;
    std::optional<QString> document; // an absolute path

    // One line of JSON: {"open": [ids], "document": path}.
    QByteArray encoded() const;
    // None for anything but a line encoded() could have written.
    static std::optional<LaunchRequest> decoded(const QByteArray &line);

    bool operator==(const LaunchRequest &) const = default;
};
