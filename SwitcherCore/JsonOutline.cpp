#include "JsonOutline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace JsonOutline {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

qsizetype skipSpace(QByteArrayView text, qsizetype i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// One past the closing quote of the string that opens at `i`; -1 when it never closes.
qsizetype stringEnd(QByteArrayView text, qsizetype i)
{
    for (++i; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i; // an escaped quote does not close the string
        else if (text[i] == '"')
            return i + 1;
    }
    return -1;
}

// The value that starts at `i`. Brackets of either kind are counted alike: a mismatch inside
// is QJsonDocument's to find when the span is parsed.
std::optional<Span> valueAt(QByteArrayView text, qsizetype i)
{
    if (i >= text.size())
        return std::nullopt;
    const char first = text[i];
    if (first == '"') {
        const qsizetype end = stringEnd(text, i);
        return end < 0 ? std::nullopt : std::optional<Span>(Span{i, end, 0});
    }
    if (first == '{' || first == '[') {
        int depth = 0;
        int deepest = 0;
        for (qsizetype j = i; j < text.size(); ++j) {
            const char c = text[j];
            if (c == '"') {
                j = stringEnd(text, j);
                if (j < 0)
                    return std::nullopt;
                --j;
            } else if (c == '{' || c == '[') {
                deepest = std::max(deepest, ++depth);
            } else if ((c == '}' || c == ']') && --depth == 0) {
                return Span{i, j + 1, deepest};
            }
        }
        return std::nullopt;
    }
    // A number or a literal runs to the next separator; whatever else it holds, QJsonDocument
    // refuses when the span is parsed.
    qsizetype end = i;
    while (end < text.size() && !isSpace(text[end]) && text[end] != ',' && text[end] != '}' &&
           text[end] != ']')
        ++end;
    return end == i ? std::nullopt : std::optional<Span>(Span{i, end, 0});
}

} // namespace

std::optional<QList<Member>> objectMembers(QByteArrayView text)
{
    qsizetype i = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    i = skipSpace(text, i);
    if (i >= text.size() || text[i] != '{')
        return std::nullopt;
    i = skipSpace(text, i + 1);
    QList<Member> members;
    if (i < text.size() && text[i] == '}') {
        ++i;
    } else {
        for (;;) {
            if (i >= text.size() || text[i] != '"')
                return std::nullopt;
            Member member;
            member.key = Span{i, stringEnd(text, i), 0};
            if (member.key.end < 0)
                return std::nullopt;
            i = skipSpace(text, member.key.end);
            if (i >= text.size() || text[i] != ':')
                return std::nullopt;
            const std::optional<Span> value = valueAt(text, skipSpace(text, i + 1));
            if (!value)
                return std::nullopt;
            member.value = *value;
            members.append(member);
            i = skipSpace(text, value->end);
            if (i < text.size() && text[i] == ',') {
                i = skipSpace(text, i + 1);
                continue;
            }
            if (i < text.size() && text[i] == '}') {
                ++i;
                break;
            }
            return std::nullopt;
        }
    }
    if (skipSpace(text, i) != text.size())
        return std::nullopt;
    return members;
}

std::optional<QList<Span>> arrayElements(QByteArrayView text, Span span)
{
    if (span.size() < 2 || text[span.begin] != '[' || text[span.end - 1] != ']')
        return std::nullopt;
    const QByteArrayView inside = text.first(span.end - 1); // elements never run past the bracket
    QList<Span> elements;
    qsizetype i = skipSpace(inside, span.begin + 1);
    if (i == inside.size())
        return elements;
    for (;;) {
        const std::optional<Span> element = valueAt(inside, i);
        if (!element)
            return std::nullopt;
        elements.append(*element);
        i = skipSpace(inside, element->end);
        if (i == inside.size())
            return elements;
        if (inside[i] != ',')
            return std::nullopt;
        i = skipSpace(inside, i + 1);
    }
}

std::optional<QJsonValue> parse(QByteArrayView text, Span span, int level)
{
    if (span.size() <= 0 || level + span.depth > maximumDepth)
        return std::nullopt;
    QJsonParseError error;
    const char first = text[span.begin];
    if (first == '{' || first == '[') {
        // Parsed in place: QJsonDocument keeps nothing of the bytes it reads.
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromRawData(text.data() + span.begin, span.size()), &error);
        if (error.error != QJsonParseError::NoError)
            return std::nullopt;
        return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    }
    // QJsonDocument reads no bare scalar; one inside an array reads as it would anywhere else.
    QByteArray wrapped;
    wrapped.reserve(span.size() + 2);
    wrapped.append('[').append(text.sliced(span.begin, span.size())).append(']');
    const QJsonArray array = QJsonDocument::fromJson(wrapped, &error).array();
    if (error.error != QJsonParseError::NoError || array.size() != 1)
        return std::nullopt;
    return array.first();
}

std::optional<QJsonObject> keyAlone(QByteArrayView text, const Member &member)
{
    QByteArray alone;
    alone.reserve(member.key.size() + 7);
    alone.append('{').append(text.sliced(member.key.begin, member.key.size())).append(":null}");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(alone, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    return document.object();
}

bool breaksTheGrammar(QByteArrayView text)
{
    const auto digitAt = [&text](qsizetype i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    const auto digitsFrom = [&](qsizetype i) {
        while (digitAt(i))
            ++i;
        return i;
    };
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = quint8(text[i]);
        if (inString) {
            if (byte == '\\') {
                // QJsonDocument has checked the four digits of a \u.
                if (++i == text.size() || !QByteArrayView("\"\\/bfnrtu").contains(text[i]))
                    return true;
            } else if (byte == '"') {
                inString = false;
            } else if (byte < 0x20) {
                return true;
            }
        } else if (byte == '"') {
            inString = true;
        } else if (byte == '.' || byte == '+') {
            return true; // a number that starts without a digit
        } else if (byte == '-' || digitAt(i)) {
            // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
            qsizetype at = byte == '-' ? i + 1 : i;
            if (!digitAt(at))
                return true;
            at = text[at] == '0' ? at + 1 : digitsFrom(at);
            if (at < text.size() && text[at] == '.') {
                if (!digitAt(++at))
                    return true;
                at = digitsFrom(at);
            }
            if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
                if (++at < text.size() && (text[at] == '+' || text[at] == '-'))
                    ++at;
                if (!digitAt(at))
                    return true;
                at = digitsFrom(at);
            }
            i = at - 1;
        }
    }
    return false;
}

} // namespace JsonOutline
