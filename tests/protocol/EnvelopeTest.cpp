#include "ProtocolFixtures.h"

#include <vector>

using namespace ProtocolFixtures;

TEST(Envelope, encodesOneCompactLineAndTheHeadFindsTheRawPayloadInTheCallersLine)
{
    EXPECT_EQ(
        encodeEnvelope("setDeviceAtmos", SetDeviceAtmos{"dev \"1\"", true}.toJson()),
        QByteArray(R"({"v":1,"type":"setDeviceAtmos","payload":{"atmosOutput":true,"deviceUID":"dev \"1\""}})"
                   "\n"));

    const QByteArray line = encodeEnvelope("learnedRates", fullRates().toJson()).chopped(1);
    const Decoded<EnvelopeHead> head = decodeEnvelopeHead(view(line));
    ASSERT_TRUE(head.ok()) << head.error.text().toStdString();
    EXPECT_EQ(head.value->v, 1);
    EXPECT_EQ(head.value->type, "learnedRates");
    const std::string_view payload = head.value->payload;
    EXPECT_GE(payload.data(), line.constData());
    EXPECT_LE(payload.data() + payload.size(), line.constData() + line.size());
    EXPECT_EQ(QByteArray(payload.data(), qsizetype(payload.size())), compact(fullRates().toJson()));

    // Keys in any order, blanks, unknown keys, v written as a float, padding past the text.
    QByteArray padded =
        R"(  { "payload" : { "subscribe" : true } , "other":[1,2], "type" : "x", "v" : 1.0 }  )";
    const std::size_t capacity = padForDecoding(padded);
    const Decoded<EnvelopeHead> blank = decodeEnvelopeHead(view(padded), capacity);
    ASSERT_TRUE(blank.ok()) << blank.error.text().toStdString();
    EXPECT_EQ(blank.value->payload, R"({ "subscribe" : true })");
    EXPECT_EQ(blank.value->payload.data() + blank.value->payloadCapacity, padded.constData() + capacity);
    EXPECT_EQ(payloadObject(blank.value->payload).value, (QJsonObject{{"subscribe", true}}));

    // Another version is reported, not refused: the caller decides.
    EXPECT_EQ(decodeEnvelopeHead(R"({"v":2,"type":"hello","payload":{}})").value.value_or(EnvelopeHead{}).v,
              2);
}

TEST(Envelope, badHeadsNameTheKey)
{
    // Grouped by the key the error names; a line that is not one JSON object names none.
    const std::pair<const char *, std::vector<const char *>> cases[] = {
        {"v",
         {R"({"type":"x","payload":{}})", R"({"v":"1","type":"x","payload":{}})",
          R"({"v":1.5,"type":"x","payload":{}})", R"({"v":null,"type":"x","payload":{}})",
          R"({"v":99999999999,"type":"x","payload":{}})"}},
        {"type", {R"({"v":1,"payload":{}})", R"({"v":1,"type":7,"payload":{}})"}},
        {"payload",
         {R"({"v":1,"type":"x"})", R"({"v":1,"type":"x","payload":[]})",
          R"({"v":1,"type":"x","payload":"{}"})", R"({"v":1,"type":"x","payload":null})"}},
        {"",
         {"", "hello", "[1]", "1", R"({"v":1,"type":"x","payload":{}} trailing)",
          R"({"v":1,"type":"x","payload":{})", "\xc3\x28"}}};
    for (const auto &[key, lines] : cases) {
        for (const char *line : lines) {
            const Decoded<EnvelopeHead> decoded = decodeEnvelopeHead(line);
            EXPECT_FALSE(decoded.ok()) << line;
            EXPECT_EQ(decoded.error.key, QString::fromLatin1(key)) << line;
        }
    }
    EXPECT_TRUE(payloadObject("{}").ok());
    for (const char *payload : {"", "[]", "{\"a\":}", "null"})
        EXPECT_EQ(payloadObject(payload).error.key, "payload") << payload;
}

// One scratch reads a line's head and then its payload; what it keeps must never leak into a
// later read of another payload, a repeated one, or one after a failed head.
TEST(Envelope, aSharedScratchGivesTheSameRecordsAsAFreshRead)
{
    const QByteArray full = encodeEnvelope("learnedRates", fullRates().toJson());
    QByteArray padded = full;
    const std::size_t capacity = padForDecoding(padded);
    // The payload key twice: the last wins.
    const QByteArray twice = R"({"v":1,"type":"learnedRates","payload":{"rows":[],"outputs":[]},"payload":)" +
                             compact(fullRates().toJson()) + "}";
    LearnedRates other;
    other.rows = {minimalRow()};
    const QByteArray otherPayload = compact(other.toJson());

    JsonScratch scratch;
    const std::pair<const QByteArray &, std::size_t> lines[] = {{padded, capacity}, {full, 0}, {twice, 0}};
    for (const auto &[line, cap] : lines) {
        // A payload from elsewhere, read with the scratch that last read this line's head.
        ASSERT_TRUE(decodeEnvelopeHead(view(line), cap, &scratch).ok());
        EXPECT_EQ(LearnedRates::fromJsonText(view(otherPayload), 0, &scratch).value, other);
        const Decoded<EnvelopeHead> head = decodeEnvelopeHead(view(line), cap, &scratch);
        ASSERT_TRUE(head.ok()) << head.error.text().toStdString();
        for (int i = 0; i < 2; ++i) {
            const auto rates =
                LearnedRates::fromJsonText(head.value->payload, head.value->payloadCapacity, &scratch);
            EXPECT_EQ(rates.value, fullRates()) << rates.error.text().toStdString();
        }
    }
    // A failed head leaves nothing behind for the next payload either.
    EXPECT_FALSE(
        decodeEnvelopeHead(R"({"v":1,"type":"learnedRates","payload":{"rows":[]})", 0, &scratch).ok());
    EXPECT_EQ(LearnedRates::fromJsonText(view(otherPayload), 0, &scratch).value, other);
}
