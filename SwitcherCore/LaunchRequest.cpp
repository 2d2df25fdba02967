#include "LaunchRequest.h"

#include "JsonOutline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray LaunchRequest::encoded() const
{
    QJsonObject json;
    json.insert(u"open", QJsonArray::fromStringList(windowIds));
    if (document)
        json.insert(u"document", *document);
    return QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<LaunchRequest> LaunchRequest::decoded(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        JsonOutline::breaksTheGrammar(line))
        return std::nullopt;
    const QJsonObject json = document.object();
    LaunchRequest request;
    const QJsonValue open = json.value(u"open");
    if (!open.isUndefined() && !open.isArray())
        return std::nullopt;
    for (const QJsonValue &id : open.toArray()) {
        if (!id.isString())
            return std::nullopt;
        request.windowIds.append(id.toString());
    }
    const QJsonValue path = json.value(u"document");
    if (!path.isUndefined() && (!path.isString() || !path.toString().startsWith(u'/')))
        return std::nullopt;
    if (path.isString())
        request.document = path.toString();
    return request;
}
