#pragma once

// The records carried over the companion link. Every record is a plain value whose JSON keys
// are its field names; an absent optional is left out of the JSON. Dates travel as ISO 8601 in
// UTC with milliseconds ("2026-03-01T12:00:00.000Z").
//
// Message types handled here (envelope {"v": 1, "type": ..., "payload": {...}}, one per line):
//   incoming: "learnedRates" (LearnedRates), "rateLibraryImported" (RateLibraryImported),
//             "localFilesResult" (LocalFilesResult), "rateLibraryFile" (RateLibraryFile)
//   outgoing: "learnedRatesRequest", "pinLearnedRate", "unpinLearnedRate", "forgetLearnedRate",
//             "forgetRates", "resetStore", "removeAllPins", "setDeviceAtmos", "resetOutput",
//             "rateLibraryImport" (RateLibraryChunk), "dismissRateLibraryNotice",
//             "localFiles" (LocalFilesBatch), "rateLibraryExport" (RateLibraryExportRequest)
// See SwitcherProtocolJson.cpp for the exact field rules of the ones this side chose.

#include "Bundle.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

namespace SwitcherProtocol {

constexpr int version = 1;

// Why a payload could not be decoded; `key` names the offending key ("rows[3].rate").
struct DecodeError {
    QString key;
    QString reason;
    QString text() const; // "rows[3].rate: expected a number"
};

// The outcome of decoding one record: a value, or the error that names the key.
class JsonScratch;

template <class T> struct Decoded {
    std::optional<T> value;
    DecodeError error;
    bool ok() const { return value.has_value(); }
    explicit operator bool() const { return ok(); }
    static Decoded failure(QString key, QString reason)
    {
        return {std::nullopt, {std::move(key), std::move(reason)}};
    }
};

struct MusicQuality {
    bool lossless = false;
    qint64 tier = 0;
    std::optional<bool> hiRes;
    std::optional<QString> atmos; // "auto", "always" or "off"

    QJsonObject toJson() const;
    static Decoded<MusicQuality> fromJson(const QJsonObject &json);
    bool operator==(const MusicQuality &) const = default;
};

struct LearnedRates {
    struct Row {
        QString id;
        QString kind; // "library", anything else a catalog track
        QString tier; // "hires", "lossless", "aac", "unknown", "any" or "file"
        std::optional<QString> title;
        std::optional<QString> artist;
        std::optional<QString> album;
        double rate = 0;
        std::optional<double> learnedRate;
        bool pinned = false;
        QString source; // "file", "imported", anything else learned
        qint64 confirmations = 0;
        QDateTime confirmedAt;

        // True when the tier is exactly "any" or "file".
        bool isSettingIndependent() const;

        QJsonObject toJson() const;
        static Decoded<Row> fromJson(const QJsonObject &json);
        bool operator==(const Row &) const = default;
    };

    struct Output {
        QString deviceUID;
        std::optional<bool> atmos;       // what plays taught the companion
        std::optional<bool> atmosOutput; // the user's own answer

        QJsonObject toJson() const;
        static Decoded<Output> fromJson(const QJsonObject &json);
        bool operator==(const Output &) const = default;
    };

    struct Tier {
        static inline const QString hires = QStringLiteral("hires");
        static inline const QString lossless = QStringLiteral("lossless");
        static inline const QString aac = QStringLiteral("aac");
        static inline const QString unknown = QStringLiteral("unknown");
        static inline const QString any = QStringLiteral("any");
        static inline const QString file = QStringLiteral("file");

        // The tier word of Music.app's setting; "unknown" when it can't be told.
        static QString forQuality(const std::optional<MusicQuality> &quality);
        // The short word for a table column ("Hi-Res", "Lossless", "AAC", ...).
        static QString columnLabel(const QString &tier);
        // The phrase used inside a sentence ("Lossless off (AAC)", "any setting", ...).
        static QString sentencePhrase(const QString &tier, const Bundle &bundle);
    };

    QList<Row> rows;
    QList<Output> outputs;
    std::optional<QString> nowPlayingID;
    std::optional<QString> notice;

    QJsonObject toJson() const;
    static Decoded<LearnedRates> fromJson(const QJsonObject &json);
    // The fast path for the payload text of a "learnedRates" line: the same result and the
    // same errors as fromJson, without building a QJsonDocument (a Rate Library can hold
    // 100,000 rows). `capacity` is how many bytes are readable from payload.data(); with
    // fewer than jsonPadding of them after the text, the text is copied first. Safe on any
    // thread; pass the scratch that decoded the line's head to reuse its memory.
    // Plausibility of rates is not checked here: see dropImplausibleRows.
    static Decoded<LearnedRates> fromJsonText(std::string_view payload, std::size_t capacity = 0,
                                              JsonScratch *scratch = nullptr);
    // Removes the rows whose rate is not plausible; returns how many went.
    int dropImplausibleRows();
    bool operator==(const LearnedRates &) const = default;
};

struct LocalFilesResult {
    qint64 scanned = 0;
    qint64 matched = 0;
    qint64 unmatched = 0;
    qint64 updated = 0;

    QJsonObject toJson() const;
    static Decoded<LocalFilesResult> fromJson(const QJsonObject &json);
    bool operator==(const LocalFilesResult &) const = default;
};

struct RateLibraryImported {
    QString mode; // "dryRun" or "apply"
    bool ok = false;
    std::optional<QString> refusal;
    std::optional<QString> warning;
    std::optional<QString> note;
    std::optional<QString> flavour; // "share" for a shared library
    std::optional<qint64> fileVersion;
    std::optional<QString> storefront;
    std::optional<QString> appVersion;
    std::optional<QDateTime> writtenAt;
    std::optional<qint64> fileTracks;
    std::optional<QString> localStorefront;
    qint64 newCount = 0; // JSON key "new"
    qint64 updated = 0;
    qint64 known = 0;
    qint64 skipped = 0;
    qint64 outputsNew = 0;
    qint64 outputsUpdated = 0;

    QJsonObject toJson() const;
    static Decoded<RateLibraryImported> fromJson(const QJsonObject &json);
    bool operator==(const RateLibraryImported &) const = default;
};

struct PinLearnedRate {
    QString id;
    QString tier;
    double rate = 0;
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;

    QJsonObject toJson() const;
    static Decoded<PinLearnedRate> fromJson(const QJsonObject &json);
    bool operator==(const PinLearnedRate &) const = default;
};

struct RowRef {
    QString id;
    QString tier;

    QJsonObject toJson() const;
    static Decoded<RowRef> fromJson(const QJsonObject &json);
    bool operator==(const RowRef &) const = default;
};

struct SetDeviceAtmos {
    QString deviceUID;
    std::optional<bool> atmosOutput; // left out of the JSON when absent

    QJsonObject toJson() const;
    static Decoded<SetDeviceAtmos> fromJson(const QJsonObject &json);
    bool operator==(const SetDeviceAtmos &) const = default;
};

struct ResetOutput {
    QString deviceUID;

    QJsonObject toJson() const;
    static Decoded<ResetOutput> fromJson(const QJsonObject &json);
    bool operator==(const ResetOutput &) const = default;
};

struct LearnedRatesRequest {
    bool subscribe = false;

    QJsonObject toJson() const;
    static Decoded<LearnedRatesRequest> fromJson(const QJsonObject &json);
    bool operator==(const LearnedRatesRequest &) const = default;
};

// One chunk of a Rate Library file sent for import: `data` is base64 text of a slice of the
// file's bytes; the chunks of one import run from `first` to `last` and share `mode`.
struct RateLibraryChunk {
    QString data;
    bool first = false;
    bool last = false;
    QString mode; // "dryRun" or "apply"

    QJsonObject toJson() const;
    static Decoded<RateLibraryChunk> fromJson(const QJsonObject &json);
    bool operator==(const RateLibraryChunk &) const = default;
};

// One local file of Music.app's library, as the scan read it.
struct LocalFileRow {
    QString id; // Music.app's persistent id of the track
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;
    double rate = 0; // the file's own sample rate, Hz

    QJsonObject toJson() const;
    static Decoded<LocalFileRow> fromJson(const QJsonObject &json);
    bool operator==(const LocalFileRow &) const = default;
};

// One batch of "localFiles": at most 500 rows; the last batch of a scan has `done` true.
struct LocalFilesBatch {
    QList<LocalFileRow> rows;
    bool done = false;

    QJsonObject toJson() const;
    static Decoded<LocalFilesBatch> fromJson(const QJsonObject &json);
    bool operator==(const LocalFilesBatch &) const = default;
};

// Outgoing "rateLibraryExport": asks the companion for its Rate Library as a file.
// `flavour` is "backup" (everything) or "share" (confirmed rates only).
struct RateLibraryExportRequest {
    QString flavour;

    QJsonObject toJson() const;
    static Decoded<RateLibraryExportRequest> fromJson(const QJsonObject &json);
    bool operator==(const RateLibraryExportRequest &) const = default;
};

// Incoming "rateLibraryFile": the companion's answer to "rateLibraryExport". With `ok` true,
// `data` is base64 text of the Rate Library JSON; with `ok` false, `refusal` says why.
struct RateLibraryFile {
    QString flavour;
    bool ok = false;
    std::optional<QString> refusal;
    std::optional<QString> data;

    QJsonObject toJson() const;
    static Decoded<RateLibraryFile> fromJson(const QJsonObject &json);
    bool operator==(const RateLibraryFile &) const = default;
};

// Wraps a payload in the versioned envelope: one line of JSON ending in '\n'.
QByteArray encodeEnvelope(const QString &type, const QJsonObject &payload);

// The fast decoders below read up to this many bytes past the end of the text they parse.
// The caller pads: it keeps that many readable bytes after the text and passes the capacity
// (bytes readable from the text's first byte); a text without them is copied first.
inline constexpr std::size_t jsonPadding = 64;
// Reserves the padding after `text` without changing its contents; returns the capacity to
// pass along with a view of `text`.
std::size_t padForDecoding(QByteArray &text);

// Parsing memory for the fast decoders. Without one, each call sets up its own, and the first
// touch of that memory costs about 8 ms for a 28 MB line. Decoding a line's head and then its
// payload with one scratch pays that once, and the payload decode goes on from what the head
// decode left: the rows themselves when a large "learnedRates" line was read in one pass, else
// the index of the line (the line must stay as it is in between, as the head's views require
// anyway). Use it from one thread at a time; it holds the memory of the largest text it has
// read until it is destroyed.
class JsonScratch final {
public:
    JsonScratch();
    ~JsonScratch();
    JsonScratch(const JsonScratch &) = delete;
    JsonScratch &operator=(const JsonScratch &) = delete;

    // The rows of a Rate Library decoded before: a large "learnedRates" line read in one pass
    // takes from them, shared, every text that reads the same, instead of a copy of its own.
    void shareTextsWith(QList<LearnedRates::Row> rows);

    // For a large "learnedRates" line whose first rows were read while it arrived and are no
    // longer in it (ArrivingRows): the first item of the rows array whose '[' stands at
    // `arrayOffset` in the line stands for `rows`, and the rows after it are numbered on from
    // them. The line's head and payload are then decoded as if the rows stood there themselves.
    void standInForRows(std::size_t arrayOffset, QList<LearnedRates::Row> rows);

    struct Parser;
    Parser &parser() { return *m_parser; }

private:
    std::unique_ptr<Parser> m_parser;
};

// What the link needs of an envelope before it picks the payload's decoder.
struct EnvelopeHead {
    int v = 0;
    QString type;
    std::string_view payload;        // the raw JSON object of "payload", inside the line
    std::size_t payloadCapacity = 0; // bytes readable from payload.data(), for the decoders
};

// Finds "v", "type" and the payload's text of one line without decoding the payload. Errors
// name "v", "type" or "payload"; a line that is not one JSON object has an empty key. The
// views in the result point into `line`. Any version is returned: the caller decides.
Decoded<EnvelopeHead> decodeEnvelopeHead(std::string_view line, std::size_t capacity = 0,
                                         JsonScratch *scratch = nullptr);

// The payload text of a small message as an object for the records' fromJson.
Decoded<QJsonObject> payloadObject(std::string_view payload);

// Dates as the protocol writes them, and a fast reader for them.
QString isoDate(const QDateTime &date);
std::optional<QDateTime> parseIsoDate(std::string_view text);

} // namespace SwitcherProtocol

// Rows move as plain bytes when a 100,000-row list grows.
Q_DECLARE_TYPEINFO(SwitcherProtocol::LearnedRates::Row, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(SwitcherProtocol::LearnedRates::Output, Q_RELOCATABLE_TYPE);
