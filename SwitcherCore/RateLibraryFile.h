#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>

// The Rate Library backup file (".corvanerates"): the 12-byte magic "CORVANERATES", one
// format-version byte, then the Rate Library JSON compressed with zlib (DEFLATE). A file of
// plain Rate Library JSON is read as well.
class RateLibraryFile final {
public:
    enum class Error { newerFormat, notRateLibrary, damaged };
    static QString errorMessage(Error error);

    static constexpr char magic[] = "CORVANERATES";
    static constexpr qsizetype magicBytes = sizeof(magic) - 1;
    static constexpr quint8 formatVersion = 1;
    // A file may not unpack to more than a plain file may hold, so a small crafted file cannot
    // exhaust memory.
    static constexpr qsizetype maximumJsonBytes = qsizetype(256) * 1024 * 1024;
    // Spare capacity after the data that lets the reader check the JSON without a copy.
    static constexpr qsizetype readPadding = 64;

    struct Decoded {
        std::optional<QByteArray> json; // the Rate Library JSON
        Error error = Error::damaged;   // meaningful only without `json`
        bool ok() const { return json.has_value(); }
    };

    static QByteArray encode(const QByteArray &json);
    // Inflating stops early, as damaged, once `cancelled` turns true.
    static Decoded decode(const QByteArray &fileBytes, qsizetype maximumJson = maximumJsonBytes,
                          const std::atomic<bool> *cancelled = nullptr);
    // Whether `json` is one valid JSON object and nothing else, nested no deeper than
    // JsonOutline::maximumDepth, as a file must hold. Reads in place when the array's spare
    // capacity holds `readPadding`, else on a copy.
    static bool isJsonObject(const QByteArray &json);
};
