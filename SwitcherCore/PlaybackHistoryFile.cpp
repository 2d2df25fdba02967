// The history file: {"v": 1, "entries": [...]}, each entry keyed by its field names.
#include "PlaybackHistory.h"

#include "AtomicFile.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistory)
};

constexpr int fileVersion = 1;

QString dateText(const QDateTime &date)
{
    return date.toUTC().toString(Qt::ISODateWithMs);
}

QJsonObject entryToJson(const PlaybackHistory::Entry &entry)
{
    QJsonObject json;
    json.insert(u"id", entry.id.toString(QUuid::WithoutBraces));
    json.insert(u"at", dateText(entry.at));
    json.insert(u"title", entry.title);
    json.insert(u"artist", entry.artist);
    const auto text = [&json](QStringView key, const std::optional<QString> &value) {
        if (value)
            json.insert(key, *value);
    };
    const auto number = [&json](QStringView key, const std::optional<double> &value) {
        if (value)
            json.insert(key, *value);
    };
    text(u"album", entry.album);
    text(u"tier", entry.tier);
    number(u"predictedRate", entry.predictedRate);
    text(u"source", entry.source);
    text(u"note", entry.note);
    number(u"playedRate", entry.playedRate);
    if (entry.playedAt)
        json.insert(u"playedAt", dateText(*entry.playedAt));
    text(u"codec", entry.codec);
    text(u"outcome", entry.outcome);
    number(u"outcomeRate", entry.outcomeRate);
    json.insert(u"corrected", entry.corrected);
    if (entry.musicStartMs)
        json.insert(u"musicStartMs", *entry.musicStartMs);
    return json;
}

// Reads one entry; false when a key is missing or holds the wrong kind of value.
class EntryReader {
public:
    explicit EntryReader(const QJsonObject &json) : m_json(json) {}
    bool ok = true;

    QString text(QStringView key)
    {
        const QJsonValue value = m_json.value(key);
        if (!value.isString())
            ok = false;
        return value.toString();
    }
    std::optional<QString> optionalText(QStringView key)
    {
        const QJsonValue value = m_json.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isString())
            ok = false;
        return value.toString();
    }
    std::optional<double> optionalNumber(QStringView key)
    {
        const QJsonValue value = m_json.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isDouble())
            ok = false;
        return value.toDouble();
    }
    std::optional<QDateTime> optionalDate(QStringView key)
    {
        const std::optional<QString> value = optionalText(key);
        if (!value)
            return std::nullopt;
        const QDateTime date = QDateTime::fromString(*value, Qt::ISODateWithMs);
        if (!date.isValid())
            ok = false;
        return date;
    }
    std::optional<qint64> optionalWhole(QStringView key)
    {
        const std::optional<double> value = optionalNumber(key);
        if (!value)
            return std::nullopt;
        if (std::trunc(*value) != *value || std::abs(*value) > 9.0e15)
            ok = false;
        return qint64(*value);
    }

private:
    const QJsonObject &m_json;
};

std::optional<PlaybackHistory::Entry> entryFromJson(const QJsonObject &json)
{
    EntryReader read(json);
    PlaybackHistory::Entry entry;
    entry.id = QUuid::fromString(read.text(u"id"));
    const std::optional<QDateTime> at = read.optionalDate(u"at");
    entry.title = read.text(u"title");
    entry.artist = read.text(u"artist");
    entry.album = read.optionalText(u"album");
    entry.tier = read.optionalText(u"tier");
    entry.predictedRate = read.optionalNumber(u"predictedRate");
    entry.source = read.optionalText(u"source");
    entry.note = read.optionalText(u"note");
    entry.playedRate = read.optionalNumber(u"playedRate");
    entry.playedAt = read.optionalDate(u"playedAt");
    entry.codec = read.optionalText(u"codec");
    entry.outcome = read.optionalText(u"outcome");
    entry.outcomeRate = read.optionalNumber(u"outcomeRate");
    const QJsonValue corrected = json.value(u"corrected");
    if (!corrected.isUndefined() && !corrected.isBool())
        read.ok = false;
    entry.corrected = corrected.toBool(false);
    entry.musicStartMs = read.optionalWhole(u"musicStartMs");
    if (!read.ok || entry.id.isNull() || !at)
        return std::nullopt;
    entry.at = *at;
    return entry;
}

// A free name beside `path`: "<base>.<tag>.json", or "<base>.<tag>-2.json" and on when taken.
QString nameBeside(const QString &path, const QString &tag)
{
    const QFileInfo info(path);
    const QDir dir = info.dir();
    const QString base = info.completeBaseName();
    QString candidate = dir.filePath(base + QLatin1Char('.') + tag + QStringLiteral(".json"));
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = dir.filePath(base + QLatin1Char('.') + tag + QLatin1Char('-') + QString::number(n) +
                                 QStringLiteral(".json"));
    return candidate;
}

QByteArray readAll(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

} // namespace

QString PlaybackHistory::previousFilePath() const
{
    const QFileInfo info(m_filePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".previous.json"));
}

void PlaybackHistory::load()
{
    if (!QFileInfo::exists(m_filePath))
        return;
    bool readable = false;
    const QByteArray bytes = readAll(m_filePath, &readable);
    if (!readable) {
        // Writing over a file we could not even read could destroy every play in it.
        m_readOnly = true;
        //: The placeholder is the history file's path.
        m_lastError = Tr::tr("The playback history file %1 could not be read; new plays are kept "
                             "until the app quits but not saved.")
                          .arg(QDir::toNativeSeparators(m_filePath));
        qCWarning(lcHistory) << "cannot read" << m_filePath;
        return;
    }

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonValue version = document.object().value(u"v");
    const double v = version.toDouble(0);
    if (parseError.error == QJsonParseError::NoError && document.isObject() && version.isDouble() &&
        v > fileVersion && std::trunc(v) == v) {
        setNewerFileAside(bytes, qint64(v));
        return;
    }

    bool damaged = parseError.error != QJsonParseError::NoError || !document.isObject() || v != fileVersion ||
                   !document.object().value(u"entries").isArray();
    QList<Entry> entries;
    if (!damaged) {
        const QJsonArray array = document.object().value(u"entries").toArray();
        entries.reserve(array.size());
        for (const QJsonValue &value : array) {
            const std::optional<Entry> entry =
                value.isObject() ? entryFromJson(value.toObject()) : std::nullopt;
            if (!entry) {
                damaged = true;
                break;
            }
            entries.append(*entry);
        }
    }
    if (damaged) {
        setDamagedFileAside();
        return;
    }
    if (entries.size() > maximumEntries)
        entries.remove(0, entries.size() - maximumEntries);
    m_entries = std::move(entries);
    qCInfo(lcHistory) << "loaded" << m_entries.size() << "plays from" << m_filePath;
}

void PlaybackHistory::setNewerFileAside(const QByteArray &bytes, qint64 version)
{
    // A newer app wrote this file. Its copy is never overwritten, so that app's plays survive
    // however often this store saves afterwards; should the file have changed since an earlier
    // copy was taken, the new content gets a copy of its own beside it.
    const QString tag = QStringLiteral("newer-v%1").arg(version);
    const QFileInfo info(m_filePath);
    QString existing; // an earlier copy of this very content
    for (int n = 1; existing.isEmpty(); ++n) {
        const QString suffix = n == 1 ? QString() : QLatin1Char('-') + QString::number(n);
        const QString earlier = info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + tag +
                                                    suffix + QStringLiteral(".json"));
        if (!QFileInfo::exists(earlier))
            break;
        bool ok = false;
        if (readAll(earlier, &ok) == bytes && ok)
            existing = earlier;
    }
    QString error;
    const QString copy = existing.isEmpty() ? nameBeside(m_filePath, tag) : existing;
    if (existing.isEmpty() && !AtomicFile::write(copy, bytes, &error)) {
        m_readOnly = true;
        //: The placeholders are the history file's path and the system's reason.
        m_lastError = Tr::tr("The playback history file %1 was written by a newer version of the app "
                             "and could not be copied aside (%2); it is left as it is and new plays "
                             "are not saved.")
                          .arg(QDir::toNativeSeparators(m_filePath), error);
        qCWarning(lcHistory) << "newer history file (v" << version << ") cannot be copied aside:" << error;
        return;
    }
    //: The placeholder is the path of the copy of the history file.
    m_lastError = Tr::tr("The playback history was written by a newer version of the app; it was "
                         "copied to %1 and the history starts empty.")
                      .arg(QDir::toNativeSeparators(copy));
    qCWarning(lcHistory) << "newer history file (v" << version << ") copied to" << copy;
}

void PlaybackHistory::setDamagedFileAside()
{
    const QString aside = nameBeside(
        m_filePath, QStringLiteral("damaged-") + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"));
    if (!QFile::rename(m_filePath, aside)) {
        m_readOnly = true;
        //: The placeholder is the history file's path.
        m_lastError = Tr::tr("The playback history file %1 is damaged and could not be moved aside; "
                             "it is left as it is and new plays are not saved.")
                          .arg(QDir::toNativeSeparators(m_filePath));
        qCWarning(lcHistory) << "damaged history file cannot be moved aside:" << m_filePath;
        return;
    }
    //: The placeholder is the path the damaged history file was moved to.
    m_lastError = Tr::tr("The playback history file was damaged; it was moved to %1 and the history "
                         "starts empty.")
                      .arg(QDir::toNativeSeparators(aside));
    qCWarning(lcHistory) << "damaged history file moved to" << aside;
}

QByteArray PlaybackHistory::fileBytes(const QList<Entry> &entries)
{
    QJsonArray array;
    for (const Entry &entry : entries)
        array.append(entryToJson(entry));
    QJsonObject root;
    root.insert(u"v", fileVersion);
    root.insert(u"entries", array);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool PlaybackHistory::saveNow()
{
    m_saveTimer.stop();
    if (!m_dirty)
        return true;
    if (m_readOnly) {
        qCWarning(lcHistory) << "not saving over" << m_filePath << "-" << m_lastError;
        return false;
    }
    const QString folder = QFileInfo(m_filePath).absolutePath();
    QString error;
    bool written = QDir().mkpath(folder);
    if (!written) {
        error = Tr::tr("the folder could not be created");
    } else {
        // The file as it stood before this save stays beside it, one step back.
        bool readable = false;
        const QByteArray previous =
            QFileInfo::exists(m_filePath) ? readAll(m_filePath, &readable) : QByteArray();
        QString previousError;
        if (readable && !AtomicFile::write(previousFilePath(), previous, &previousError))
            qCWarning(lcHistory) << "cannot keep the previous history file:" << previousError;
        written = AtomicFile::write(m_filePath, fileBytes(m_entries), &error);
    }
    if (!written) {
        //: The placeholders are the history file's path and the system's reason.
        m_lastError = Tr::tr("The playback history could not be saved to %1: %2")
                          .arg(QDir::toNativeSeparators(m_filePath), error);
        qCWarning(lcHistory) << "cannot save" << m_filePath << ":" << error;
        return false;
    }
    m_dirty = false;
    m_lastError.clear();
    qCDebug(lcHistory) << "saved" << m_entries.size() << "plays";
    return true;
}
