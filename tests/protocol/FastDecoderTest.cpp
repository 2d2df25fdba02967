#include "ProtocolFixtures.h"

using namespace ProtocolFixtures;

namespace {

// The payload as the link reads it: from a whole line, with one scratch for head and payload.
Decoded<LearnedRates> throughEnvelope(const QByteArray &payload)
{
    const QByteArray line = R"({"type":"learnedRates","payload":)" + payload + R"(,"v":1})";
    JsonScratch scratch;
    const Decoded<EnvelopeHead> head = decodeEnvelopeHead(view(line), 0, &scratch);
    if (!head)
        return Decoded<LearnedRates>::failure(head.error.key, head.error.reason);
    return LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
}

// The fast path must agree with the QJsonObject path on the same text: same rows, or the same
// error key and reason. Tried in place (padded), with the decoder's own copy, and through a line.
void expectSameAsFromJson(const QByteArray &text)
{
    SCOPED_TRACE(text.left(300).toStdString());
    const QJsonDocument document = QJsonDocument::fromJson(text);
    ASSERT_TRUE(document.isObject());
    const Decoded<LearnedRates> slow = LearnedRates::fromJson(document.object());
    QByteArray padded = text;
    const std::size_t capacity = padForDecoding(padded);
    for (const Decoded<LearnedRates> &fast :
         {LearnedRates::fromJsonText(view(padded), capacity), LearnedRates::fromJsonText(view(padded)),
          throughEnvelope(text)}) {
        EXPECT_EQ(fast.value, slow.value);
        EXPECT_EQ(fast.error.text(), slow.error.text());
    }
}

QByteArray withRow(const QByteArray &rowJson)
{
    return R"({"rows":[)" + compact(minimalRow().toJson()) + "," + rowJson + R"(],"outputs":[]})";
}

} // namespace

TEST(LearnedRatesFastPath, agreesWithFromJsonOnGoodText)
{
    expectSameAsFromJson(compact(fullRates().toJson()));
    expectSameAsFromJson(compact(LearnedRates{}.toJson()));
    // Escapes of every kind, unicode written raw and as \u escapes (with a surrogate pair).
    expectSameAsFromJson(withRow(
        R"({"id":"a\"b\\c\/d","kind":"library","tier":"lossless","title":"Caf\u00e9 \"Live\" \ud83c\udfb9\tTab",)"
        R"("artist":"Björk","album":"日本語のアルバム","rate":48000,"pinned":false,"source":"imported",)"
        R"("confirmations":0,"confirmedAt":"2026-01-01T00:00:00Z"})"));
    // Nulls and missing optionals, keys in another order, blanks everywhere, unknown keys.
    expectSameAsFromJson(
        R"( { "notice" : null , "extra" : {"a":[1,{"b":null}]}, "outputs" : [ { "atmos" : null , "deviceUID" : "x" } ] ,)"
        R"( "rows" : [ { "confirmedAt" : "2026-03-01T12:00:00.123+02:00" , "title" : null , "learnedRate" : null ,)"
        R"( "source" : "learned" , "confirmations" : 3.0 , "pinned" : true , "rate" : 4.41e4 , "tier" : "any" ,)"
        R"( "kind" : "catalog" , "id" : "\u0031" , "future" : [ ] } ] , "nowPlayingID" : "1" } )");
    // A later duplicate key replaces the earlier one, as QJsonDocument does.
    expectSameAsFromJson(
        withRow(R"({"id":"d","id":"e","kind":"k","tier":"aac","title":5,"title":"ok","rate":"no","rate":1,)"
                R"("pinned":false,"source":"s","confirmations":1,"confirmedAt":"2026-01-01T00:00:00Z"})"));

    // Artist and album repeat between neighbours; a changed or absent one must not carry over.
    QJsonArray rows;
    const char *artists[] = {"A", "A", nullptr, "A", "B", "A"};
    for (int i = 0; i < 6; ++i) {
        LearnedRates::Row row = minimalRow();
        row.id = QString::number(i);
        if (artists[i])
            row.artist = row.album = QString::fromLatin1(artists[i]);
        rows.append(row.toJson());
    }
    expectSameAsFromJson(compact(QJsonObject{{"rows", rows}, {"outputs", QJsonArray{}}}));
}

// QJsonDocument drops a byte order mark that opens a string without escapes and keeps U+FEFF
// where it opens one with escapes; the fast path reads every kind of text as it does.
TEST(LearnedRatesFastPath, agreesWithFromJsonOnATextThatOpensWithABom)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    expectSameAsFromJson(withRow(R"({"id":")" + bom + R"(1","kind":")" + bom + R"(library","tier":")" + bom +
                                 R"(lossless","title":")" + bom + bom + R"(Two","artist":")" + bom +
                                 R"(A","album":")" + bom +
                                 R"(B","rate":48000,"pinned":false,"source":"s",)"
                                 R"("confirmations":0,"confirmedAt":")" +
                                 bom + R"(2026-01-01T00:00:00Z"})"));
    expectSameAsFromJson(withRow(R"({"id":")" + bom + R"(\u0031","kind":")" + bom +
                                 R"(librar\u0079",)"
                                 R"("tier":"\uFEFFlossless","title":")" +
                                 bom +
                                 R"(\"Live\"","artist":"\ufeffA",)"
                                 R"("album":")" +
                                 bom +
                                 R"(\u0042","rate":48000,"pinned":false,"source":"s",)"
                                 R"("confirmations":0,"confirmedAt":"2026-01-01T00:00:00Z"})"));
    // A date is then no date.
    expectSameAsFromJson(withRow(R"({"id":"1","kind":"k","tier":"aac","rate":1,"pinned":false,"source":"s",)"
                                 R"("confirmations":1,"confirmedAt":"\uFEFF2026-01-01T00:00:00Z"})"));
}

// Every kind of bad row field: both readers refuse it, naming the field and the reason.
TEST(LearnedRatesFastPath, agreesWithFromJsonOnEveryKindOfBadField)
{
    const QJsonObject good = fullRow().toJson();
    auto expectRefused = [&](const char *key, const char *reason,
                             std::initializer_list<const char *> values) {
        for (const char *value : values) { // nullptr: the key is missing
            QJsonObject row = good;
            if (value)
                row[QLatin1String(key)] =
                    QJsonDocument::fromJson(QByteArray("[") + value + "]").array().at(0);
            else
                row.remove(QLatin1String(key));
            const QByteArray text = withRow(compact(row));
            expectSameAsFromJson(text);
            const DecodeError error = LearnedRates::fromJson(parse(text)).error;
            EXPECT_EQ(error.text(), QStringLiteral("rows[1].%1: %2").arg(key, reason))
                << (value ? value : "(missing)");
        }
    };
    for (const char *key : {"id", "kind", "tier", "title", "artist", "album", "source"})
        expectRefused(key, "expected a string", {"{}"});
    expectRefused("id", "expected a string", {"1"});
    expectRefused("kind", "expected a string", {"null"});
    expectRefused("title", "expected a string", {"false"});
    expectRefused("rate", "expected a number", {"\"48000\"", "null"});
    expectRefused("learnedRate", "expected a number", {"true"});
    expectRefused("pinned", "expected true or false", {"0", "\"true\""});
    expectRefused("confirmations", "expected a whole number",
                  {"1.5", "\"3\"", "1e30", "9223372036854775808"});
    expectRefused("confirmedAt", "expected an ISO 8601 date",
                  {"\"2026-02-30T00:00:00Z\"", "\"2026-03-01T12:00:00\"", "\"yesterday\"", "12"});
    for (const char *key : {"id", "kind", "tier", "rate", "pinned", "source", "confirmations", "confirmedAt"})
        expectRefused(key, "missing", {nullptr});

    for (const char *text :
         {// Several faults in one row: both name the first field in declaration order.
          R"({"rows":[{"confirmedAt":1,"rate":"x","kind":"library","tier":"aac"}],"outputs":[]})",
          R"({"rows":["row as a string"],"outputs":[]})", R"({"rows":{},"outputs":[]})", R"({"outputs":[]})",
          R"({"rows":[],"outputs":[{"deviceUID":"a"},{"atmos":true}]})",
          R"({"rows":[],"outputs":[],"notice":3})",
          // A row fault wins over a later top-level fault, as in declaration order.
          R"({"notice":3,"outputs":[7],"rows":[{"id":"x"}]})"})
        expectSameAsFromJson(text);

    for (const char *text :
         {"", "   ", "[]", "42", "\"rows\"", "{\"rows\":[}", "{\"rows\":[],\"outputs\":[]} x",
          "{\"rows\":[],\"outputs\":[]}{}", "{\"rows\":[],\"outputs\":[],\"notice\":\"\xff\"}",
          "{\"rows\":[{\"id\":\"a\nb\"}],\"outputs\":[]}"}) {
        const Decoded<LearnedRates> decoded = LearnedRates::fromJsonText(text);
        EXPECT_FALSE(decoded.ok()) << text;
        EXPECT_FALSE(decoded.error.reason.isEmpty()) << text;
    }
}

TEST(LearnedRatesFastPath, dropImplausibleRowsKeepsOrderAndCounts)
{
    LearnedRates rates;
    LearnedRates::Row row = minimalRow();
    for (double rate : {44100.0, 7999.0, 8000.0, 1536000.0, 1536001.0, 0.0, 96000.0}) {
        row.rate = rate;
        rates.rows.append(row);
    }
    LearnedRates kept = rates;
    kept.rows.remove(4, 2);
    kept.rows.remove(1);
    EXPECT_EQ(rates.dropImplausibleRows(), 3);
    EXPECT_EQ(rates, kept);
    EXPECT_EQ(rates.dropImplausibleRows(), 0);
}
