#pragma once

#include "Bundle.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <optional>

// The store of plays: every track the engine saw start, with its prediction, what played and
// how it ended. Kept in "PlaybackHistory.json" in the data folder, at most 2000 plays.
class PlaybackHistory final {
public:
    struct Entry {
        QUuid id = QUuid::createUuid();
        QDateTime at;
        QString title;
        QString artist;
        std::optional<QString> album;
        std::optional<QString> tier; // "hires", "lossless", "aac" or "unknown"
        std::optional<double> predictedRate;
        std::optional<QString> source; // "/"-separated; the last piece names the step
        std::optional<QString> note;
        std::optional<double> playedRate;
        std::optional<QDateTime> playedAt;
        std::optional<QString> codec;
        std::optional<QString> outcome; // such as "learned" or "rewritten"
        std::optional<double> outcomeRate;
        bool corrected = false;
        std::optional<qint64> musicStartMs;

        // Whether the settled rate (outcome, else played) differs from the prediction,
        // each rounded to whole hertz with halves away from zero.
        bool differed() const;

        bool operator==(const Entry &) const = default;
    };

    struct MusicStartStats {
        qint64 count = 0;
        qint64 fastest = 0;
        qint64 typical = 0; // the median: index count / 2 of the sorted values
        qint64 slowest = 0;
        bool operator==(const MusicStartStats &) const = default;
    };

    static constexpr int maximumEntries = 2000;
    // A larger file is set aside unread, as a damaged one is: 2000 plays take about 1 MB.
    static constexpr qint64 maximumFileBytes = 32LL * 1024 * 1024;
    static constexpr int saveDelayMs = 1000;

    // Loads the file at `filePath` (default: "PlaybackHistory.json" in the data folder).
    explicit PlaybackHistory(QString filePath = {});
    ~PlaybackHistory();
    PlaybackHistory(const PlaybackHistory &) = delete;
    PlaybackHistory &operator=(const PlaybackHistory &) = delete;

    // Oldest first: a play is appended at the end.
    const QList<Entry> &entries() const { return m_entries; }
    void append(Entry entry);
    // Replaces the play with the same id (a play's outcome arrives after it started).
    void update(const Entry &entry);
    void clear();

    std::function<void()> onChange;

    // Load times of the last 25 plays that have one above 0; none when no play has one.
    std::optional<MusicStartStats> musicStartStats() const;

    // Whether the last non-empty "/" part of a source is `part`.
    static bool sourceEndsIn(const std::optional<QString> &source, QStringView part);
    // The prediction step (1 to 5) named by the last non-empty "/" piece of a source.
    static std::optional<int> stepNumber(const std::optional<QString> &source);
    static QString stepName(int step, const Bundle &bundle);
    // "2 · Confirmed playback rate", with a suffix such as " (pin)" where the source says so;
    // empty when the source names no step.
    static QString stepLabel(const std::optional<QString> &source, const Bundle &bundle);
    static QString outcomeLabel(const Entry &entry, const Bundle &bundle);
    // "%.0f kHz" for a whole number of kHz, else "%.1f kHz"; never localized.
    static QString rateText(double hz);

    // Every play, oldest first, under the CSV header line; RFC 4180 quoting, CRLF line ends. A
    // text cell a spreadsheet would run as a formula begins with a single quote.
    static QString csvText(const QList<Entry> &entries);
    static const QString csvHeader;

    // What a history file holds, read span by span so that it never stands in memory twice:
    // the newest maximumEntries plays of a file this version writes, or the version of a newer
    // one (saturated at the largest qint64), or neither when the file is damaged. Accepts and
    // refuses exactly what reading the whole file with QJsonDocument would.
    struct FileContents {
        enum class Kind { plays, newer, damaged };
        Kind kind = Kind::damaged;
        QList<Entry> entries;
        qint64 version = 0;
        bool operator==(const FileContents &) const = default;
    };
    static FileContents readFileContents(QByteArrayView bytes);

    // The file, and what went wrong with it last (empty when all is well).
    QString filePath() const { return m_filePath; }
    // The file as it stood before the last save ("PlaybackHistory.previous.json").
    QString previousFilePath() const;
    QString lastError() const { return m_lastError; }
    // What went wrong with the file when it was loaded (empty when nothing did): set aside,
    // unreadable, or written by a newer version.
    QString loadError() const { return m_loadError; }
    // Called with lastError() when a save fails after the last one worked (or after loading),
    // once for each such failure however often the retries fail after it.
    std::function<void(const QString &message)> onSaveFailed;
    bool savePending() const;
    // Writes at once instead of waiting for the delayed save; true on success.
    bool saveNow();
    // The delayed save's one timer, so a test can read its interval and fire it without waiting.
    QTimer &saveTimerForTesting() { return m_saveTimer; }

private:
    void changed();
    void load();
    void setNewerFileAside(const QByteArray &bytes, qint64 version);
    // Moves the file aside under a timestamped name, never deleting it; the new path, or empty
    // when it could not be moved (the store then never writes over it).
    QString setFileAside();
    void setLoadError(const QString &message);
    static QByteArray fileBytes(const QList<Entry> &entries);

    QString m_filePath;
    QList<Entry> m_entries;
    QTimer m_saveTimer;
    QString m_lastError;
    QString m_loadError;
    bool m_readOnly = false;   // set while a file we could not set aside stands in the way
    bool m_dirty = false;      // entries changed since the last successful save
    bool m_saveFailed = false; // the last save failed; its failure has been reported
};
