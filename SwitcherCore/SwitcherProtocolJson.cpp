// JSON of the protocol records. Keys are the field names (RateLibraryImported's `newCount`
// travels as "new"); an absent optional is left out, and a JSON null where an optional is
// expected reads as absent. Decoding checks fields in declaration order and reports the first
// bad one; unknown keys are ignored so that a newer companion can add fields.

#include "SwitcherProtocol.h"
#include "SwitcherProtocolDecoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace SwitcherProtocol {

namespace {

// ---- writing ----

QJsonValue jsonValue(const QString &v)
{
    return v;
}
QJsonValue jsonValue(bool v)
{
    return v;
}
QJsonValue jsonValue(double v)
{
    return v;
}
QJsonValue jsonValue(qint64 v)
{
    return v;
}
QJsonValue jsonValue(const QDateTime &v)
{
    return isoDate(v);
}

template <class T> void put(QJsonObject &json, QLatin1String key, const T &value)
{
    json.insert(key, jsonValue(value));
}

template <class T> void put(QJsonObject &json, QLatin1String key, const std::optional<T> &value)
{
    if (value)
        json.insert(key, jsonValue(*value));
}

template <class T> QJsonArray jsonArray(const QList<T> &items)
{
    QJsonArray array;
    for (const T &item : items)
        array.append(item.toJson());
    return array;
}

// ---- reading ----

// One reason when the value has the wrong type, none when `out` was set.
std::optional<QString> read(const QJsonValue &v, QString &out)
{
    if (!v.isString())
        return Reason::expectedString();
    out = v.toString();
    return std::nullopt;
}

std::optional<QString> read(const QJsonValue &v, bool &out)
{
    if (!v.isBool())
        return Reason::expectedBool();
    out = v.toBool();
    return std::nullopt;
}

std::optional<QString> read(const QJsonValue &v, double &out)
{
    if (!v.isDouble())
        return Reason::expectedNumber();
    out = v.toDouble();
    return std::nullopt;
}

std::optional<QString> read(const QJsonValue &v, qint64 &out)
{
    if (!v.isDouble())
        return Reason::expectedWholeNumber();
    // toInteger answers its default for anything not whole or out of range: two different
    // defaults tell that apart from a real value.
    const qint64 a = v.toInteger(0);
    const qint64 b = v.toInteger(1);
    if (a != b)
        return Reason::expectedWholeNumber();
    out = a;
    return std::nullopt;
}

std::optional<QString> read(const QJsonValue &v, QDateTime &out)
{
    if (!v.isString())
        return Reason::expectedDate();
    const QByteArray utf8 = v.toString().toUtf8();
    std::optional<QDateTime> date = parseIsoDate(std::string_view(utf8.constData(), size_t(utf8.size())));
    if (!date)
        return Reason::expectedDate();
    out = *date;
    return std::nullopt;
}

class Fields final {
public:
    explicit Fields(const QJsonObject &json) : m_json(json) {}

    template <class T> void required(QLatin1String key, T &out)
    {
        if (m_error)
            return;
        const auto it = m_json.constFind(key);
        if (it == m_json.constEnd())
            return fail(key, Reason::missing());
        if (auto reason = read(*it, out))
            fail(key, *reason);
    }

    template <class T> void optional(QLatin1String key, std::optional<T> &out)
    {
        if (m_error)
            return;
        out.reset();
        const auto it = m_json.constFind(key);
        if (it == m_json.constEnd() || it->isNull())
            return;
        T value{};
        if (auto reason = read(*it, value))
            return fail(key, *reason);
        out = std::move(value);
    }

    template <class T> void list(QLatin1String key, QList<T> &out)
    {
        if (m_error)
            return;
        const auto it = m_json.constFind(key);
        if (it == m_json.constEnd())
            return fail(key, Reason::missing());
        if (!it->isArray())
            return fail(key, Reason::expectedArray());
        const QJsonArray array = it->toArray();
        out.clear();
        out.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QJsonValue element = array.at(i);
            if (!element.isObject()) {
                m_error = DecodeError{Detail::indexedKey(key, i, {}), Reason::expectedObject()};
                return;
            }
            Decoded<T> item = T::fromJson(element.toObject());
            if (!item) {
                m_error = DecodeError{Detail::indexedKey(key, i, item.error.key), item.error.reason};
                return;
            }
            out.append(std::move(*item.value));
        }
    }

    template <class R> Decoded<R> finish(R &&value)
    {
        if (m_error)
            return Decoded<R>{std::nullopt, std::move(*m_error)};
        return Decoded<R>{std::move(value), {}};
    }

private:
    void fail(QLatin1String key, QString reason) { m_error = DecodeError{QString(key), std::move(reason)}; }

    const QJsonObject &m_json;
    std::optional<DecodeError> m_error;
};

constexpr QLatin1String operator""_k(const char *text, size_t size)
{
    return QLatin1String(text, qsizetype(size));
}

int digit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Reads `count` decimal digits at `at`; -1 when one is not a digit.
int digits(std::string_view text, size_t at, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int d = digit(text[at + size_t(i)]);
        if (d < 0)
            return -1;
        value = value * 10 + d;
    }
    return value;
}

bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

// ---- dates ----

QString isoDate(const QDateTime &date)
{
    // An invalid date has no text; a reader then refuses the record rather than guess a time.
    if (!date.isValid())
        return {};
    return date.toUTC().toString(Qt::ISODateWithMs);
}

std::optional<QDateTime> parseIsoDate(std::string_view text)
{
    // YYYY-MM-DDTHH:MM:SS[.fraction](Z|±hh:mm|±hhmm); the zone is required, since a time
    // without one would be read in whatever zone this Mac happens to be in.
    if (text.size() < 20)
        return std::nullopt;
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != 't') || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    if (day > daysInMonth(year, month))
        return std::nullopt;

    size_t at = 19;
    qint64 ms = 0;
    if (text[at] == '.' || text[at] == ',') {
        ++at;
        const size_t start = at;
        // Rounded to the nearest millisecond, as QDateTime does.
        qint64 micro = 0;
        int taken = 0;
        while (at < text.size() && digit(text[at]) >= 0) {
            if (taken < 4) {
                micro = micro * 10 + digit(text[at]);
                ++taken;
            }
            ++at;
        }
        if (at == start)
            return std::nullopt;
        while (taken < 4) {
            micro *= 10;
            ++taken;
        }
        ms = (micro + 5) / 10;
    }
    if (at >= text.size())
        return std::nullopt;

    qint64 offsetSeconds = 0;
    const char zone = text[at];
    if (zone == 'Z' || zone == 'z') {
        ++at;
    } else if (zone == '+' || zone == '-') {
        const size_t rest = text.size() - at - 1;
        int offHour = -1;
        int offMinute = -1;
        if (rest == 5 && text[at + 3] == ':') {
            offHour = digits(text, at + 1, 2);
            offMinute = digits(text, at + 4, 2);
        } else if (rest == 4) {
            offHour = digits(text, at + 1, 2);
            offMinute = digits(text, at + 3, 2);
        }
        if (offHour < 0 || offHour > 23 || offMinute < 0 || offMinute > 59)
            return std::nullopt;
        offsetSeconds = (offHour * 3600 + offMinute * 60) * (zone == '-' ? -1 : 1);
        at = text.size();
    } else {
        return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    const qint64 seconds =
        daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000 + ms, Qt::UTC);
}

// ---- envelope ----

QByteArray encodeEnvelope(const QString &type, const QJsonObject &payload)
{
    // Written by hand so that "v" and "type" come first, where a reader looks for them.
    const QByteArray quotedType = QJsonDocument(QJsonArray{type}).toJson(QJsonDocument::Compact);
    QByteArray line;
    line.reserve(32 + quotedType.size());
    line += "{\"v\":";
    line += QByteArray::number(version);
    line += ",\"type\":";
    line += quotedType.mid(1, quotedType.size() - 2);
    line += ",\"payload\":";
    line += QJsonDocument(payload).toJson(QJsonDocument::Compact);
    line += "}\n";
    return line;
}

std::size_t padForDecoding(QByteArray &text)
{
    text.reserve(text.size() + qsizetype(jsonPadding));
    return size_t(text.capacity());
}

Decoded<QJsonObject> payloadObject(std::string_view payload)
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(payload.data(), qsizetype(payload.size())), &error);
    if (error.error != QJsonParseError::NoError)
        return Decoded<QJsonObject>::failure(
            QStringLiteral("payload"), Reason::malformed() + QStringLiteral(": ") + error.errorString());
    if (!document.isObject())
        return Decoded<QJsonObject>::failure(QStringLiteral("payload"), Reason::expectedObject());
    return Decoded<QJsonObject>{document.object(), {}};
}

// ---- records ----

QJsonObject MusicQuality::toJson() const
{
    QJsonObject json;
    put(json, "lossless"_k, lossless);
    put(json, "tier"_k, tier);
    put(json, "hiRes"_k, hiRes);
    put(json, "atmos"_k, atmos);
    return json;
}

Decoded<MusicQuality> MusicQuality::fromJson(const QJsonObject &json)
{
    MusicQuality r;
    Fields f(json);
    f.required("lossless"_k, r.lossless);
    f.required("tier"_k, r.tier);
    f.optional("hiRes"_k, r.hiRes);
    f.optional("atmos"_k, r.atmos);
    return f.finish(std::move(r));
}

QJsonObject LearnedRates::Row::toJson() const
{
    QJsonObject json;
    put(json, "id"_k, id);
    put(json, "kind"_k, kind);
    put(json, "tier"_k, tier);
    put(json, "title"_k, title);
    put(json, "artist"_k, artist);
    put(json, "album"_k, album);
    put(json, "rate"_k, rate);
    put(json, "learnedRate"_k, learnedRate);
    put(json, "pinned"_k, pinned);
    put(json, "source"_k, source);
    put(json, "confirmations"_k, confirmations);
    put(json, "confirmedAt"_k, confirmedAt);
    return json;
}

Decoded<LearnedRates::Row> LearnedRates::Row::fromJson(const QJsonObject &json)
{
    // The order here is the order of the fast decoder's field table: both report the same
    // first error.
    Row r;
    Fields f(json);
    f.required("id"_k, r.id);
    f.required("kind"_k, r.kind);
    f.required("tier"_k, r.tier);
    f.optional("title"_k, r.title);
    f.optional("artist"_k, r.artist);
    f.optional("album"_k, r.album);
    f.required("rate"_k, r.rate);
    f.optional("learnedRate"_k, r.learnedRate);
    f.required("pinned"_k, r.pinned);
    f.required("source"_k, r.source);
    f.required("confirmations"_k, r.confirmations);
    f.required("confirmedAt"_k, r.confirmedAt);
    return f.finish(std::move(r));
}

QJsonObject LearnedRates::Output::toJson() const
{
    QJsonObject json;
    put(json, "deviceUID"_k, deviceUID);
    put(json, "atmos"_k, atmos);
    put(json, "atmosOutput"_k, atmosOutput);
    return json;
}

Decoded<LearnedRates::Output> LearnedRates::Output::fromJson(const QJsonObject &json)
{
    Output r;
    Fields f(json);
    f.required("deviceUID"_k, r.deviceUID);
    f.optional("atmos"_k, r.atmos);
    f.optional("atmosOutput"_k, r.atmosOutput);
    return f.finish(std::move(r));
}

QJsonObject LearnedRates::toJson() const
{
    QJsonObject json;
    json.insert("rows"_k, jsonArray(rows));
    json.insert("outputs"_k, jsonArray(outputs));
    put(json, "nowPlayingID"_k, nowPlayingID);
    put(json, "notice"_k, notice);
    return json;
}

Decoded<LearnedRates> LearnedRates::fromJson(const QJsonObject &json)
{
    LearnedRates r;
    Fields f(json);
    f.list("rows"_k, r.rows);
    f.list("outputs"_k, r.outputs);
    f.optional("nowPlayingID"_k, r.nowPlayingID);
    f.optional("notice"_k, r.notice);
    return f.finish(std::move(r));
}

QJsonObject LocalFilesResult::toJson() const
{
    QJsonObject json;
    put(json, "scanned"_k, scanned);
    put(json, "matched"_k, matched);
    put(json, "unmatched"_k, unmatched);
    put(json, "updated"_k, updated);
    return json;
}

Decoded<LocalFilesResult> LocalFilesResult::fromJson(const QJsonObject &json)
{
    LocalFilesResult r;
    Fields f(json);
    f.required("scanned"_k, r.scanned);
    f.required("matched"_k, r.matched);
    f.required("unmatched"_k, r.unmatched);
    f.required("updated"_k, r.updated);
    return f.finish(std::move(r));
}

QJsonObject RateLibraryImported::toJson() const
{
    QJsonObject json;
    put(json, "mode"_k, mode);
    put(json, "ok"_k, ok);
    put(json, "refusal"_k, refusal);
    put(json, "warning"_k, warning);
    put(json, "note"_k, note);
    put(json, "flavour"_k, flavour);
    put(json, "fileVersion"_k, fileVersion);
    put(json, "storefront"_k, storefront);
    put(json, "appVersion"_k, appVersion);
    put(json, "writtenAt"_k, writtenAt);
    put(json, "fileTracks"_k, fileTracks);
    put(json, "localStorefront"_k, localStorefront);
    put(json, "new"_k, newCount);
    put(json, "updated"_k, updated);
    put(json, "known"_k, known);
    put(json, "skipped"_k, skipped);
    put(json, "outputsNew"_k, outputsNew);
    put(json, "outputsUpdated"_k, outputsUpdated);
    return json;
}

Decoded<RateLibraryImported> RateLibraryImported::fromJson(const QJsonObject &json)
{
    RateLibraryImported r;
    Fields f(json);
    f.required("mode"_k, r.mode);
    f.required("ok"_k, r.ok);
    f.optional("refusal"_k, r.refusal);
    f.optional("warning"_k, r.warning);
    f.optional("note"_k, r.note);
    f.optional("flavour"_k, r.flavour);
    f.optional("fileVersion"_k, r.fileVersion);
    f.optional("storefront"_k, r.storefront);
    f.optional("appVersion"_k, r.appVersion);
    f.optional("writtenAt"_k, r.writtenAt);
    f.optional("fileTracks"_k, r.fileTracks);
    f.optional("localStorefront"_k, r.localStorefront);
    f.required("new"_k, r.newCount);
    f.required("updated"_k, r.updated);
    f.required("known"_k, r.known);
    f.required("skipped"_k, r.skipped);
    f.required("outputsNew"_k, r.outputsNew);
    f.required("outputsUpdated"_k, r.outputsUpdated);
    return f.finish(std::move(r));
}

QJsonObject PinLearnedRate::toJson() const
{
    QJsonObject json;
    put(json, "id"_k, id);
    put(json, "tier"_k, tier);
    put(json, "rate"_k, rate);
    put(json, "title"_k, title);
    put(json, "artist"_k, artist);
    put(json, "album"_k, album);
    return json;
}

Decoded<PinLearnedRate> PinLearnedRate::fromJson(const QJsonObject &json)
{
    PinLearnedRate r;
    Fields f(json);
    f.required("id"_k, r.id);
    f.required("tier"_k, r.tier);
    f.required("rate"_k, r.rate);
    f.optional("title"_k, r.title);
    f.optional("artist"_k, r.artist);
    f.optional("album"_k, r.album);
    return f.finish(std::move(r));
}

QJsonObject RowRef::toJson() const
{
    QJsonObject json;
    put(json, "id"_k, id);
    put(json, "tier"_k, tier);
    return json;
}

Decoded<RowRef> RowRef::fromJson(const QJsonObject &json)
{
    RowRef r;
    Fields f(json);
    f.required("id"_k, r.id);
    f.required("tier"_k, r.tier);
    return f.finish(std::move(r));
}

QJsonObject SetDeviceAtmos::toJson() const
{
    QJsonObject json;
    put(json, "deviceUID"_k, deviceUID);
    put(json, "atmosOutput"_k, atmosOutput);
    return json;
}

Decoded<SetDeviceAtmos> SetDeviceAtmos::fromJson(const QJsonObject &json)
{
    SetDeviceAtmos r;
    Fields f(json);
    f.required("deviceUID"_k, r.deviceUID);
    f.optional("atmosOutput"_k, r.atmosOutput);
    return f.finish(std::move(r));
}

QJsonObject ResetOutput::toJson() const
{
    QJsonObject json;
    put(json, "deviceUID"_k, deviceUID);
    return json;
}

Decoded<ResetOutput> ResetOutput::fromJson(const QJsonObject &json)
{
    ResetOutput r;
    Fields f(json);
    f.required("deviceUID"_k, r.deviceUID);
    return f.finish(std::move(r));
}

QJsonObject LearnedRatesRequest::toJson() const
{
    QJsonObject json;
    put(json, "subscribe"_k, subscribe);
    return json;
}

Decoded<LearnedRatesRequest> LearnedRatesRequest::fromJson(const QJsonObject &json)
{
    LearnedRatesRequest r;
    Fields f(json);
    f.required("subscribe"_k, r.subscribe);
    return f.finish(std::move(r));
}

QJsonObject RateLibraryChunk::toJson() const
{
    QJsonObject json;
    put(json, "data"_k, data);
    put(json, "first"_k, first);
    put(json, "last"_k, last);
    put(json, "mode"_k, mode);
    return json;
}

Decoded<RateLibraryChunk> RateLibraryChunk::fromJson(const QJsonObject &json)
{
    RateLibraryChunk r;
    Fields f(json);
    f.required("data"_k, r.data);
    f.required("first"_k, r.first);
    f.required("last"_k, r.last);
    f.required("mode"_k, r.mode);
    return f.finish(std::move(r));
}

QJsonObject LocalFileRow::toJson() const
{
    QJsonObject json;
    put(json, "id"_k, id);
    put(json, "title"_k, title);
    put(json, "artist"_k, artist);
    put(json, "album"_k, album);
    put(json, "rate"_k, rate);
    return json;
}

Decoded<LocalFileRow> LocalFileRow::fromJson(const QJsonObject &json)
{
    LocalFileRow r;
    Fields f(json);
    f.required("id"_k, r.id);
    f.optional("title"_k, r.title);
    f.optional("artist"_k, r.artist);
    f.optional("album"_k, r.album);
    f.required("rate"_k, r.rate);
    return f.finish(std::move(r));
}

QJsonObject LocalFilesBatch::toJson() const
{
    QJsonObject json;
    json.insert("rows"_k, jsonArray(rows));
    put(json, "done"_k, done);
    return json;
}

Decoded<LocalFilesBatch> LocalFilesBatch::fromJson(const QJsonObject &json)
{
    LocalFilesBatch r;
    Fields f(json);
    f.list("rows"_k, r.rows);
    f.required("done"_k, r.done);
    return f.finish(std::move(r));
}

QJsonObject RateLibraryExportRequest::toJson() const
{
    QJsonObject json;
    put(json, "flavour"_k, flavour);
    return json;
}

Decoded<RateLibraryExportRequest> RateLibraryExportRequest::fromJson(const QJsonObject &json)
{
    RateLibraryExportRequest r;
    Fields f(json);
    f.required("flavour"_k, r.flavour);
    return f.finish(std::move(r));
}

QJsonObject RateLibraryFile::toJson() const
{
    QJsonObject json;
    put(json, "flavour"_k, flavour);
    put(json, "ok"_k, ok);
    put(json, "refusal"_k, refusal);
    put(json, "data"_k, data);
    return json;
}

Decoded<RateLibraryFile> RateLibraryFile::fromJson(const QJsonObject &json)
{
    RateLibraryFile r;
    Fields f(json);
    f.required("flavour"_k, r.flavour);
    f.required("ok"_k, r.ok);
    f.optional("refusal"_k, r.refusal);
    f.optional("data"_k, r.data);
    return f.finish(std::move(r));
}

} // namespace SwitcherProtocol
