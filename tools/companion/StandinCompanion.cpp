#include "StandinCompanion.h"

#include "RateLibraryFile.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>
#include <QSet>

namespace {

QString str(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key)).toString();
}

bool plausible(double hz)
{
    return hz >= 8000 && hz <= 1536000; // NaN fails both
}

QString nowIso()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QString kindOf(const QString &id)
{
    // Music.app's persistent ids are 16 hex digits; catalog ids are decimal.
    bool decimal = false;
    id.toLongLong(&decimal);
    return decimal ? QStringLiteral("catalog") : QStringLiteral("library");
}

QJsonObject refusedImport(const QString &mode, const QString &refusal)
{
    QJsonObject answer{
        {QLatin1String("mode"), mode}, {QLatin1String("ok"), false}, {QLatin1String("refusal"), refusal}};
    for (const char *count : {"new", "updated", "known", "skipped", "outputsNew", "outputsUpdated"})
        answer.insert(QLatin1String(count), 0);
    return answer;
}

} // namespace

StandinCompanion::StandinCompanion(QJsonObject library) : m_library(std::move(library)) {}

QList<StandinCompanion::Message> StandinCompanion::handle(const QString &type, const QJsonObject &payload)
{
    if (type == QLatin1String("learnedRatesRequest")) {
        m_subscribed = payload.value(QLatin1String("subscribe")).toBool();
        if (m_subscribed)
            return {learnedRates()};
        return {};
    }
    if (type == QLatin1String("pinLearnedRate")) {
        pin(payload);
        return changed();
    }
    if (type == QLatin1String("unpinLearnedRate") || type == QLatin1String("forgetLearnedRate")) {
        const qsizetype index = findRow(str(payload, "id"), str(payload, "tier"));
        if (index < 0)
            return changed();
        if (type == QLatin1String("unpinLearnedRate")) {
            if (rows().at(index).toObject().value(QLatin1String("pinned")).toBool())
                unpinAt(index);
        } else {
            QJsonArray all = rows();
            all.removeAt(index);
            setRows(all);
        }
        return changed();
    }
    if (type == QLatin1String("forgetRates")) {
        QJsonArray kept;
        for (const QJsonValue &v : rows()) {
            const QJsonObject row = v.toObject();
            if (row.value(QLatin1String("pinned")).toBool() || str(row, "source") == QLatin1String("file"))
                kept.append(row);
        }
        setRows(kept);
        return changed();
    }
    if (type == QLatin1String("resetStore")) {
        m_library =
            QJsonObject{{QLatin1String("rows"), QJsonArray()}, {QLatin1String("outputs"), QJsonArray()}};
        return changed();
    }
    if (type == QLatin1String("removeAllPins")) {
        for (qsizetype i = rows().size() - 1; i >= 0; --i) {
            if (rows().at(i).toObject().value(QLatin1String("pinned")).toBool())
                unpinAt(i);
        }
        return changed();
    }
    if (type == QLatin1String("setDeviceAtmos")) {
        setDeviceAtmos(payload);
        return changed();
    }
    if (type == QLatin1String("resetOutput")) {
        resetOutput(str(payload, "deviceUID"));
        return changed();
    }
    if (type == QLatin1String("dismissRateLibraryNotice")) {
        m_library.remove(QLatin1String("notice"));
        return changed();
    }
    if (type == QLatin1String("rateLibraryImport"))
        return importChunk(payload);
    if (type == QLatin1String("localFiles"))
        return localFiles(payload);
    if (type == QLatin1String("rateLibraryExport"))
        return {exportLibrary(str(payload, "flavour"))};
    return {};
}

QList<StandinCompanion::Message> StandinCompanion::changed() const
{
    if (!m_subscribed)
        return {};
    return {learnedRates()};
}

StandinCompanion::Message StandinCompanion::learnedRates() const
{
    return {QStringLiteral("learnedRates"), m_library};
}

qsizetype StandinCompanion::findRow(const QString &id, const QString &tier) const
{
    const QJsonArray all = rows();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QJsonObject row = all.at(i).toObject();
        if (str(row, "id") == id && str(row, "tier") == tier)
            return i;
    }
    return -1;
}

void StandinCompanion::pin(const QJsonObject &payload)
{
    const double rate = payload.value(QLatin1String("rate")).toDouble();
    const QString id = str(payload, "id");
    const QString tier = str(payload, "tier");
    if (id.isEmpty() || tier.isEmpty() || !plausible(rate))
        return;
    QJsonArray all = rows();
    const qsizetype index = findRow(id, tier);
    if (index < 0) {
        QJsonObject row{
            {QLatin1String("id"), id},           {QLatin1String("kind"), kindOf(id)},
            {QLatin1String("tier"), tier},       {QLatin1String("rate"), rate},
            {QLatin1String("pinned"), true},     {QLatin1String("source"), QStringLiteral("learned")},
            {QLatin1String("confirmations"), 0}, {QLatin1String("confirmedAt"), nowIso()}};
        for (const char *key : {"title", "artist", "album"}) {
            if (payload.contains(QLatin1String(key)))
                row.insert(QLatin1String(key), payload.value(QLatin1String(key)));
        }
        all.append(row);
    } else {
        QJsonObject row = all.at(index).toObject();
        // The first pin remembers what was learned, so that unpinning can return to it.
        if (!row.value(QLatin1String("pinned")).toBool())
            row.insert(QLatin1String("learnedRate"), row.value(QLatin1String("rate")));
        row.insert(QLatin1String("rate"), rate);
        row.insert(QLatin1String("pinned"), true);
        all.replace(index, row);
    }
    setRows(all);
}

void StandinCompanion::unpinAt(qsizetype index)
{
    QJsonArray all = rows();
    QJsonObject row = all.at(index).toObject();
    if (!row.contains(QLatin1String("learnedRate"))) {
        all.removeAt(index);
    } else {
        row.insert(QLatin1String("rate"), row.value(QLatin1String("learnedRate")));
        row.remove(QLatin1String("learnedRate"));
        row.insert(QLatin1String("pinned"), false);
        all.replace(index, row);
    }
    setRows(all);
}

void StandinCompanion::setDeviceAtmos(const QJsonObject &payload)
{
    const QString uid = str(payload, "deviceUID");
    if (uid.isEmpty())
        return;
    QJsonArray outputs = m_library.value(QLatin1String("outputs")).toArray();
    qsizetype index = 0;
    while (index < outputs.size() && str(outputs.at(index).toObject(), "deviceUID") != uid)
        ++index;
    QJsonObject output = index < outputs.size() ? outputs.at(index).toObject()
                                                : QJsonObject{{QLatin1String("deviceUID"), uid}};
    const QJsonValue answer = payload.value(QLatin1String("atmosOutput"));
    if (answer.isBool())
        output.insert(QLatin1String("atmosOutput"), answer);
    else
        output.remove(QLatin1String("atmosOutput"));
    if (index < outputs.size())
        outputs.replace(index, output);
    else
        outputs.append(output);
    m_library.insert(QLatin1String("outputs"), outputs);
}

void StandinCompanion::resetOutput(const QString &deviceUID)
{
    QJsonArray kept;
    for (const QJsonValue &v : m_library.value(QLatin1String("outputs")).toArray()) {
        if (str(v.toObject(), "deviceUID") != deviceUID)
            kept.append(v);
    }
    m_library.insert(QLatin1String("outputs"), kept);
}

QList<StandinCompanion::Message> StandinCompanion::importChunk(const QJsonObject &payload)
{
    if (payload.value(QLatin1String("first")).toBool()) {
        m_importText.clear();
        m_importing = true;
    }
    if (!m_importing)
        return {}; // a chunk of an import whose start was never seen
    // The chunks' texts are joined and decoded once, as the whole file's base64.
    m_importText += str(payload, "data").toLatin1();
    if (!payload.value(QLatin1String("last")).toBool())
        return {};

    const auto bytes = QByteArray::fromBase64Encoding(std::exchange(m_importText, QByteArray()),
                                                      QByteArray::AbortOnBase64DecodingErrors);
    m_importing = false;
    const QString mode = str(payload, "mode");
    const QJsonObject answer = bytes ? importFile(bytes.decoded, mode)
                                     : refusedImport(mode, QStringLiteral("The file did not arrive intact."));
    QList<Message> out{{QStringLiteral("rateLibraryImported"), answer}};
    if (mode == QLatin1String("apply") && answer.value(QLatin1String("ok")).toBool())
        out += changed();
    return out;
}

QJsonObject StandinCompanion::importFile(const QByteArray &bytes, const QString &mode)
{
    if (mode != QLatin1String("dryRun") && mode != QLatin1String("apply"))
        return refusedImport(mode, QStringLiteral("Unknown import mode."));
    // The switcher's own reader of backup files: plain JSON, or the magic, a format byte and DEFLATE.
    const RateLibraryFile::Decoded file = RateLibraryFile::decode(bytes);
    if (!file.ok())
        return refusedImport(mode, RateLibraryFile::errorMessage(file.error));
    const QJsonObject lib = QJsonDocument::fromJson(*file.json).object();
    if (!lib.value(QLatin1String("rows")).isArray())
        return refusedImport(mode, QStringLiteral("This file holds no Rate Library rows."));
    const int formatByte =
        bytes.startsWith(RateLibraryFile::magic) ? quint8(bytes.at(RateLibraryFile::magicBytes)) : 0;
    QJsonObject answer{{QLatin1String("mode"), mode}};
    const bool apply = mode == QLatin1String("apply");

    QJsonArray all = rows();
    QHash<QString, qsizetype> rowOf; // "id|tier" to its place in `all`
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QJsonObject row = all.at(i).toObject();
        rowOf.insert(str(row, "id") + u'|' + str(row, "tier"), i);
    }
    qint64 added = 0, updated = 0, known = 0, skipped = 0;
    QSet<QString> tracks;
    for (const QJsonValue &v : lib.value(QLatin1String("rows")).toArray()) {
        const QJsonObject in = v.toObject();
        const QString id = str(in, "id");
        const QString tier = str(in, "tier");
        const double rate = in.value(QLatin1String("rate")).toDouble();
        if (id.isEmpty() || tier.isEmpty() || !plausible(rate)) {
            ++skipped;
            continue;
        }
        tracks.insert(id);
        const QString key = id + u'|' + tier;
        const qsizetype index = rowOf.value(key, -1);
        if (index < 0) {
            ++added;
            if (apply) {
                rowOf.insert(key, all.size());
                QJsonObject row = in;
                row.insert(QLatin1String("kind"), in.value(QLatin1String("kind")).toString(kindOf(id)));
                row.insert(QLatin1String("pinned"), false);
                row.remove(QLatin1String("learnedRate"));
                row.insert(QLatin1String("source"), QStringLiteral("imported"));
                row.insert(QLatin1String("confirmations"),
                           qMax(1, in.value(QLatin1String("confirmations")).toInt()));
                if (!row.value(QLatin1String("confirmedAt")).isString())
                    row.insert(QLatin1String("confirmedAt"), nowIso());
                all.append(row);
            }
            continue;
        }
        QJsonObject row = all.at(index).toObject();
        if (row.value(QLatin1String("rate")).toDouble() == rate) {
            ++known;
        } else if (row.value(QLatin1String("pinned")).toBool()) {
            ++skipped; // the user's pin wins over a file
        } else {
            ++updated;
            if (apply) {
                row.insert(QLatin1String("rate"), rate);
                row.insert(QLatin1String("source"), QStringLiteral("imported"));
                all.replace(index, row);
            }
        }
    }

    QJsonArray outputs = m_library.value(QLatin1String("outputs")).toArray();
    qint64 outputsNew = 0, outputsUpdated = 0;
    for (const QJsonValue &v : lib.value(QLatin1String("outputs")).toArray()) {
        const QJsonObject in = v.toObject();
        const QString uid = str(in, "deviceUID");
        if (uid.isEmpty())
            continue;
        qsizetype index = 0;
        while (index < outputs.size() && str(outputs.at(index).toObject(), "deviceUID") != uid)
            ++index;
        if (index == outputs.size()) {
            ++outputsNew;
            if (apply)
                outputs.append(QJsonObject{{QLatin1String("deviceUID"), uid},
                                           {QLatin1String("atmos"), in.value(QLatin1String("atmos"))}});
        } else if (in.contains(QLatin1String("atmos")) && outputs.at(index).toObject().value(QLatin1String(
                                                              "atmos")) != in.value(QLatin1String("atmos"))) {
            ++outputsUpdated;
            if (apply) {
                QJsonObject output = outputs.at(index).toObject();
                output.insert(QLatin1String("atmos"), in.value(QLatin1String("atmos")));
                outputs.replace(index, output);
            }
        }
    }
    if (apply) {
        setRows(all);
        m_library.insert(QLatin1String("outputs"), outputs);
    }

    answer.insert(QLatin1String("ok"), true);
    const int version =
        lib.value(QLatin1String("fileVersion")).toInt(lib.value(QLatin1String("version")).toInt(formatByte));
    if (version > 0)
        answer.insert(QLatin1String("fileVersion"), version);
    for (const char *key : {"flavour", "storefront", "appVersion"}) {
        if (lib.value(QLatin1String(key)).isString())
            answer.insert(QLatin1String(key), lib.value(QLatin1String(key)));
    }
    const QDateTime writtenAt = QDateTime::fromString(str(lib, "writtenAt"), Qt::ISODateWithMs);
    if (writtenAt.isValid())
        answer.insert(QLatin1String("writtenAt"), writtenAt.toUTC().toString(Qt::ISODateWithMs));
    answer.insert(QLatin1String("fileTracks"), tracks.size());
    answer.insert(QLatin1String("localStorefront"), QStringLiteral("us"));
    answer.insert(QLatin1String("new"), added);
    answer.insert(QLatin1String("updated"), updated);
    answer.insert(QLatin1String("known"), known);
    answer.insert(QLatin1String("skipped"), skipped);
    answer.insert(QLatin1String("outputsNew"), outputsNew);
    answer.insert(QLatin1String("outputsUpdated"), outputsUpdated);
    return answer;
}

QList<StandinCompanion::Message> StandinCompanion::localFiles(const QJsonObject &payload)
{
    QSet<QString> ids;
    for (const QJsonValue &v : rows())
        ids.insert(str(v.toObject(), "id"));
    QJsonArray all = rows();
    qint64 stored = 0;
    for (const QJsonValue &v : payload.value(QLatin1String("rows")).toArray()) {
        const QJsonObject file = v.toObject();
        ++m_scanned;
        const QString id = str(file, "id");
        const double rate = file.value(QLatin1String("rate")).toDouble();
        if (!ids.contains(id))
            continue;
        ++m_matched;
        if (!plausible(rate))
            continue;
        QJsonObject row = file;
        row.insert(QLatin1String("kind"), QStringLiteral("library"));
        row.insert(QLatin1String("tier"), QStringLiteral("file"));
        row.insert(QLatin1String("pinned"), false);
        row.insert(QLatin1String("source"), QStringLiteral("file"));
        row.insert(QLatin1String("confirmations"), 0);
        row.insert(QLatin1String("confirmedAt"), nowIso());
        const qsizetype index = findRow(id, QStringLiteral("file"));
        if (index < 0)
            all.append(row);
        else
            all.replace(index, row);
        ++stored;
    }
    setRows(all);
    if (!payload.value(QLatin1String("done")).toBool())
        return stored > 0 ? changed() : QList<Message>{};

    const QJsonObject result{{QLatin1String("scanned"), m_scanned},
                             {QLatin1String("matched"), m_matched},
                             {QLatin1String("unmatched"), m_scanned - m_matched},
                             {QLatin1String("updated"), m_matched}};
    m_scanned = 0;
    m_matched = 0;
    QList<Message> out{{QStringLiteral("localFilesResult"), result}};
    if (stored > 0)
        out += changed();
    return out;
}

StandinCompanion::Message StandinCompanion::exportLibrary(const QString &flavour) const
{
    QJsonObject answer{{QLatin1String("flavour"), flavour}};
    if (flavour != QLatin1String("backup") && flavour != QLatin1String("share")) {
        answer.insert(QLatin1String("ok"), false);
        answer.insert(QLatin1String("refusal"), QStringLiteral("Unknown export flavour."));
        return {QStringLiteral("rateLibraryFile"), answer};
    }
    QJsonObject file = m_library;
    file.remove(QLatin1String("nowPlayingID"));
    file.remove(QLatin1String("notice"));
    if (flavour == QLatin1String("share")) {
        QJsonArray confirmed;
        for (const QJsonValue &v : rows()) {
            if (v.toObject().value(QLatin1String("confirmations")).toInteger() > 0)
                confirmed.append(v);
        }
        file.insert(QLatin1String("rows"), confirmed);
        file.insert(QLatin1String("flavour"), flavour);
    }
    const QByteArray json = QJsonDocument(file).toJson(QJsonDocument::Compact);
    answer.insert(QLatin1String("ok"), true);
    answer.insert(QLatin1String("data"), QString::fromLatin1(json.toBase64()));
    return {QStringLiteral("rateLibraryFile"), answer};
}
