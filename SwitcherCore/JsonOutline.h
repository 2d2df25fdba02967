#pragma once

// The outline of a JSON document: where the members of its root object and the elements of an
// array lie, found in one walk over the bytes without building anything. A reader then parses
// one span at a time, so that a large file never stands in memory twice over as a whole
// QJsonDocument would. The outline checks the grammar between the spans; `parse` leaves the
// inside of each span to QJsonDocument, so that a document read span by span is accepted or
// refused exactly as QJsonDocument::fromJson would accept or refuse it whole.

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace JsonOutline {

// The deepest nesting QJsonDocument accepts, the root counted; the readers that walk JSON from
// outside themselves (the Rate Library file's) hold to it as well.
inline constexpr int maximumDepth = 1024;

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0; // one past the last byte
    int depth = 0;     // objects and arrays nested inside, the span's own counted; 0 for a scalar
    qsizetype size() const { return end - begin; }
};

struct Member {
    Span key; // the key's string, quotes included
    Span value;
};

// The members of the object that is all of `text` (a UTF-8 byte order mark and white space
// around it allowed), in the order they stand; none when the outline already shows that `text`
// is not one JSON object.
std::optional<QList<Member>> objectMembers(QByteArrayView text);

// The elements of the array in `span`; none when `span` holds no array, or a damaged one.
std::optional<QList<Span>> arrayElements(QByteArrayView text, Span span);

// The value in `span`, which lies inside `level` objects or arrays of the document (1 for a
// member of the root); none when it is not valid JSON or nests deeper than the whole document may.
std::optional<QJsonValue> parse(QByteArrayView text, Span span, int level);

// The member's key alone, as QJsonObject holds it: {key: null}; none when the key is not a valid
// JSON string. Ask it contains(name): QJsonObject may hold apart two keys that print alike (a
// leading byte order mark goes when a key becomes a QString, but not when keys are compared).
std::optional<QJsonObject> keyAlone(QByteArrayView text, const Member &member);

// Whether `text`, valid JSON as QJsonDocument reads it, breaks the JSON grammar where
// QJsonDocument is lenient: a raw control character (below U+0020) or an escape other than
// \" \\ \/ \b \f \n \r \t \uXXXX in a string, or a number such as 1., -.5 or .5. Stricter readers
// refuse all of these.
bool breaksTheGrammar(QByteArrayView text);

} // namespace JsonOutline
