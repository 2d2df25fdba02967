// The history file: {"v": 1, "entries": [...]}, each entry keyed by its field names.
#include "PlaybackHistory.h"

#include "AtomicFile.h"
#include "JsonOutline.h"
#include "Logging.h"
#include "RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

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

// Texts that repeat from play to play (tiers, sources, codecs, outcomes, notes, artists,
// albums) share one string in the store instead of each play holding a copy of its own.
class SharedTexts {
public:
    QString operator()(const QString &text)
    {
        const auto known = m_texts.constFind(text);
        if (known != m_texts.constEnd())
            return *known;
        m_texts.insert(text);
        return text;
    }

private:
    QSet<QString> m_texts;
};

// Reads one entry; false when a key is missing or holds the wrong kind of value.
class EntryReader {
public:
    EntryReader(const QJsonObject &json, SharedTexts *shared) : m_json(json), m_shared(shared) {}
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
    QString sharedText(QStringView key) { return share(text(key)); }
    std::optional<QString> optionalSharedText(QStringView key)
    {
        const std::optional<QString> value = optionalText(key);
        return value ? std::optional<QString>(share(*value)) : std::nullopt;
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
        if (std::trunc(*value) != *value || std::abs(*value) > 9.0e15) {
            ok = false; // never converted: a double beyond qint64 has no integer to become
            return std::nullopt;
        }
        return qint64(*value);
    }

private:
    QString share(const QString &text) { return m_shared ? (*m_shared)(text) : text; }

    const QJsonObject &m_json;
    SharedTexts *m_shared;
};

std::optional<PlaybackHistory::Entry> readEntry(const QJsonObject &json, SharedTexts *shared)
{
    EntryReader read(json, shared);
    PlaybackHistory::Entry entry;
    entry.id = QUuid::fromString(read.text(u"id"));
    const std::optional<QDateTime> at = read.optionalDate(u"at");
    entry.title = read.text(u"title");
    entry.artist = read.sharedText(u"artist");
    entry.album = read.optionalSharedText(u"album");
    entry.tier = read.optionalSharedText(u"tier");
    entry.predictedRate = read.optionalNumber(u"predictedRate");
    entry.source = read.optionalSharedText(u"source");
    entry.note = read.optionalSharedText(u"note");
    entry.playedRate = read.optionalNumber(u"playedRate");
    entry.playedAt = read.optionalDate(u"playedAt");
    entry.codec = read.optionalSharedText(u"codec");
    entry.outcome = read.optionalSharedText(u"outcome");
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

// A version beyond what qint64 holds reads as the largest qint64.
qint64 saturatedVersion(double version)
{
    constexpr double limit = 9223372036854775808.0; // 2^63, exactly a double
    return version >= limit ? std::numeric_limits<qint64>::max() : qint64(version);
}

// Whether the span holds valid JSON; an array is checked one element at a time, so that a
// large one never stands in memory as a whole.
bool isValidJson(QByteArrayView bytes, const JsonOutline::Span &span, int level)
{
    if (bytes[span.begin] != '[')
        return JsonOutline::parse(bytes, span, level).has_value();
    const std::optional<QList<JsonOutline::Span>> elements = JsonOutline::arrayElements(bytes, span);
    if (!elements)
        return false;
    for (const JsonOutline::Span &element : *elements) {
        if (!JsonOutline::parse(bytes, element, level + 1))
            return false;
    }
    return true;
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

QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024));
}

} // namespace

PlaybackHistory::FileContents PlaybackHistory::readFileContents(QByteArrayView bytes)
{
    using namespace JsonOutline;
    FileContents contents; // damaged until shown otherwise
    const std::optional<QList<Member>> members = objectMembers(bytes);
    if (!members)
        return contents;

    // As in a QJsonObject, the last of two equal keys counts; every value must be valid JSON.
    std::optional<QJsonValue> version;
    std::optional<Span> entries;
    for (qsizetype i = 0; i < members->size(); ++i) {
        const Member &member = members->at(i);
        const std::optional<QJsonObject> key = keyAlone(bytes, member);
        if (!key)
            return contents;
        if (key->contains(u"entries")) {
            if (entries && !isValidJson(bytes, *entries, 1))
                return contents;
            entries = member.value;
        } else if (key->contains(u"v")) {
            version = parse(bytes, member.value, 1);
            if (!version)
                return contents;
        } else if (!isValidJson(bytes, member.value, 1)) {
            return contents;
        }
    }
    const double v = version && version->isDouble() ? version->toDouble() : 0;
    const bool newer = v > fileVersion && std::trunc(v) == v;
    if (!newer && v != fileVersion)
        return contents;
    const std::optional<QList<Span>> elements = entries ? arrayElements(bytes, *entries) : std::nullopt;
    if (!elements) {
        // No array of plays: damaged for this version; a newer one may keep its plays otherwise.
        if (newer && (!entries || isValidJson(bytes, *entries, 1))) {
            contents.kind = FileContents::Kind::newer;
            contents.version = saturatedVersion(v);
        }
        return contents;
    }

    // Every play is checked; only the newest maximumEntries are kept.
    const qsizetype firstKept = std::max<qsizetype>(0, elements->size() - maximumEntries);
    SharedTexts shared;
    QList<Entry> kept;
    kept.reserve(elements->size() - firstKept);
    for (qsizetype i = 0; i < elements->size(); ++i) {
        const std::optional<QJsonValue> value = parse(bytes, elements->at(i), 2);
        if (!value)
            return contents;
        if (newer)
            continue;
        std::optional<Entry> entry = value->isObject()
                                         ? readEntry(value->toObject(), i >= firstKept ? &shared : nullptr)
                                         : std::nullopt;
        if (!entry)
            return contents;
        if (i >= firstKept)
            kept.append(std::move(*entry));
    }
    if (newer) {
        contents.kind = FileContents::Kind::newer;
        contents.version = saturatedVersion(v);
        return contents;
    }
    contents.kind = FileContents::Kind::plays;
    contents.entries = std::move(kept);
    return contents;
}

QString PlaybackHistory::previousFilePath() const
{
    const QFileInfo info(m_filePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".previous.json"));
}

void PlaybackHistory::setLoadError(const QString &message)
{
    m_lastError = message;
    m_loadError = message;
}

void PlaybackHistory::load()
{
    const RegularFile::Contents file = RegularFile::read(m_filePath, maximumFileBytes);
    switch (file.status) {
    case RegularFile::Status::missing:
        return;
    case RegularFile::Status::notRegular:
    case RegularFile::Status::unreadable:
        // Writing over a file we could not even read could destroy every play in it.
        m_readOnly = true;
        //: The placeholder is the history file's path.
        setLoadError(Tr::tr("The playback history file %1 could not be read; new plays are kept "
                            "until the app quits but not saved.")
                         .arg(QDir::toNativeSeparators(m_filePath)));
        qCWarning(lcHistory) << "cannot read" << m_filePath << "-"
                             << (file.error.isEmpty() ? QStringLiteral("not a regular file") : file.error);
        return;
    case RegularFile::Status::tooLarge: {
        const QString aside = setFileAside();
        if (aside.isEmpty()) {
            //: The placeholders are the history file's path and a size in megabytes.
            setLoadError(Tr::tr("The playback history file %1 is larger than %2 MB and could not be moved "
                                "aside; it is left as it is and new plays are not saved.")
                             .arg(QDir::toNativeSeparators(m_filePath), megabytes(maximumFileBytes)));
        } else {
            //: The placeholders are a size in megabytes and the path the history file was moved to.
            setLoadError(Tr::tr("The playback history file was larger than %1 MB, far more than the app "
                                "ever writes; it was moved to %2 and the history starts empty.")
                             .arg(megabytes(maximumFileBytes), QDir::toNativeSeparators(aside)));
        }
        qCWarning(lcHistory) << "history file of" << file.size << "bytes is over the bound";
        return;
    }
    case RegularFile::Status::read:
        break;
    }

    FileContents contents = readFileContents(file.bytes);
    switch (contents.kind) {
    case FileContents::Kind::newer:
        setNewerFileAside(file.bytes, contents.version);
        return;
    case FileContents::Kind::damaged: {
        const QString aside = setFileAside();
        if (aside.isEmpty()) {
            //: The placeholder is the history file's path.
            setLoadError(Tr::tr("The playback history file %1 is damaged and could not be moved aside; "
                                "it is left as it is and new plays are not saved.")
                             .arg(QDir::toNativeSeparators(m_filePath)));
        } else {
            //: The placeholder is the path the damaged history file was moved to.
            setLoadError(Tr::tr("The playback history file was damaged; it was moved to %1 and the history "
                                "starts empty.")
                             .arg(QDir::toNativeSeparators(aside)));
        }
        return;
    }
    case FileContents::Kind::plays:
        break;
    }
    m_entries = std::move(contents.entries);
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
        const RegularFile::Contents copy = RegularFile::read(earlier, maximumFileBytes);
        if (copy.status == RegularFile::Status::read && copy.bytes == bytes)
            existing = earlier;
    }
    QString error;
    const QString copy = existing.isEmpty() ? nameBeside(m_filePath, tag) : existing;
    if (existing.isEmpty() && !AtomicFile::write(copy, bytes, &error)) {
        m_readOnly = true;
        //: The placeholders are the history file's path and the system's reason.
        setLoadError(Tr::tr("The playback history file %1 was written by a newer version of the app "
                            "and could not be copied aside (%2); it is left as it is and new plays "
                            "are not saved.")
                         .arg(QDir::toNativeSeparators(m_filePath), error));
        qCWarning(lcHistory) << "newer history file (v" << version << ") cannot be copied aside:" << error;
        return;
    }
    //: The placeholder is the path of the copy of the history file.
    setLoadError(Tr::tr("The playback history was written by a newer version of the app; it was "
                        "copied to %1 and the history starts empty.")
                     .arg(QDir::toNativeSeparators(copy)));
    qCWarning(lcHistory) << "newer history file (v" << version << ") copied to" << copy;
}

QString PlaybackHistory::setFileAside()
{
    const QString aside = nameBeside(
        m_filePath, QStringLiteral("damaged-") + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"));
    if (!QFile::rename(m_filePath, aside)) {
        m_readOnly = true;
        qCWarning(lcHistory) << "history file cannot be moved aside:" << m_filePath;
        return {};
    }
    qCWarning(lcHistory) << "history file set aside as" << aside;
    return aside;
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
        const RegularFile::Contents previous = RegularFile::read(m_filePath, maximumFileBytes);
        QString previousError;
        if (previous.status == RegularFile::Status::read &&
            !AtomicFile::write(previousFilePath(), previous.bytes, &previousError))
            qCWarning(lcHistory) << "cannot keep the previous history file:" << previousError;
        written = AtomicFile::write(m_filePath, fileBytes(m_entries), &error);
    }
    if (!written) {
        //: The placeholders are the history file's path and the system's reason.
        m_lastError = Tr::tr("The playback history could not be saved to %1: %2")
                          .arg(QDir::toNativeSeparators(m_filePath), error);
        qCWarning(lcHistory) << "cannot save" << m_filePath << ":" << error;
        // Retries follow every change; the user hears of the failure once, not of each retry.
        if (!m_saveFailed) {
            m_saveFailed = true;
            if (onSaveFailed)
                onSaveFailed(m_lastError);
        }
        return false;
    }
    m_dirty = false;
    m_saveFailed = false;
    m_lastError.clear();
    qCDebug(lcHistory) << "saved" << m_entries.size() << "plays";
    return true;
}
