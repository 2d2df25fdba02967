#include "LaunchRequest.h"

#include "JsonOutline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The code unit of the \uXXXX escape at `i`, or -1 when none stands there.
int escapedUnit(QByteArrayView text, qsizetype i)
{
    if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u')
        return -1;
    for (qsizetype at = i + 2; at < i + 6; ++at) {
        if (!isHex(text[at]))
            return -1;
    }
    return text.sliced(i + 2, 4).toInt(nullptr, 16);
}

// Whether a string of `text` escapes half of a surrogate pair, which QJsonDocument reads into a
// QString that no UTF-8 holds (a path with one would be a corrupted path), or starts with U+FEFF,
// which QJsonDocument drops from a string without escapes and keeps in one with them.
bool holdsTextNoLaunchWrites(QByteArrayView text)
{
    const auto isHigh = [](int unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!inString) {
            inString = text[i] == '"';
            if (inString &&
                (text.sliced(i + 1).startsWith("\xEF\xBB\xBF") || escapedUnit(text, i + 1) == 0xFEFF))
                return true;
        } else if (text[i] == '"') {
            inString = false;
        } else if (text[i] == '\\') {
            const int unit = escapedUnit(text, i);
            if (isLow(unit) || (isHigh(unit) && !isLow(escapedUnit(text, i + 6))))
                return true;
            i += isHigh(unit) ? 11 : unit >= 0 ? 5 : 1; // past the escape, or the pair
        }
    }
    return false;
}

} // namespace

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
    // QJsonDocument passes over a byte order mark (before the line or a text), half a surrogate
    // pair and a NUL character, none of which a launch writes (its texts come from arguments and
    // the environment).
    if (line.startsWith("\xEF\xBB\xBF") || holdsTextNoLaunchWrites(line))
        return std::nullopt;
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
        if (!id.isString() || id.toString().contains(QChar(0)))
            return std::nullopt;
        request.windowIds.append(id.toString());
    }
    const QJsonValue path = json.value(u"document");
    // A NUL would end the path where the system reads it, naming another file.
    if (!path.isUndefined() &&
        (!path.isString() || !path.toString().startsWith(u'/') || path.toString().contains(QChar(0))))
        return std::nullopt;
    if (path.isString())
        request.document = path.toString();
    return request;
}
