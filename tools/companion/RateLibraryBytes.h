#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// Reads the bytes of a Rate Library file as the companion receives them for an import.
//
// Two forms are accepted:
//   - plain JSON: one object (a library shaped like the "learnedRates" payload, optionally with
//     "flavour", "fileVersion"/"version", "storefront", "appVersion", "writtenAt" beside it);
//   - a backup file: the 12 bytes "CORVANERATES", one format-version byte (1), then the JSON
//     compressed with DEFLATE. The compressed bytes may be a zlib stream (RFC 1950, what the
//     switcher's RateLibraryFile writes), a raw DEFLATE stream (what Apple's zlib algorithm
//     writes), or qCompress's layout (a 4-byte big-endian uncompressed size, then a zlib
//     stream); all three are tried.
struct RateLibraryBytes {
    QJsonObject library;
    int fileVersion = 0; // the format byte; 0 for plain JSON
    QString refusal;     // set when the bytes could not be read

    bool ok() const { return refusal.isEmpty(); }
    static RateLibraryBytes read(const QByteArray &bytes);
};
