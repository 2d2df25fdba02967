#include "ProtocolFixtures.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace SwitcherProtocol;
using namespace ProtocolFixtures;

namespace {

Decoded<EnvelopeHead> head(const QByteArray &line)
{
    return decodeEnvelopeHead(std::string_view(line.constData(), size_t(line.size())));
}

void expectHeadError(const QByteArray &line, const char *key)
{
    const Decoded<EnvelopeHead> decoded = head(line);
    EXPECT_FALSE(decoded.ok()) << line.toStdString();
    EXPECT_EQ(decoded.error.key, QString::fromLatin1(key)) << line.toStdString();
}

} // namespace

TEST(Envelope, encodesOneCompactLineWithVersionTypeAndPayload)
{
    const QByteArray line = encodeEnvelope("setDeviceAtmos", SetDeviceAtmos{"dev \"1\"", true}.toJson());
    EXPECT_EQ(line, QByteArray(R"({"v":1,"type":"setDeviceAtmos","payload":{"atmosOutput":true,"deviceUID":"dev \"1\""}})"
                               "\n"));
    EXPECT_EQ(encodeEnvelope("forgetRates", {}), QByteArray("{\"v\":1,\"type\":\"forgetRates\",\"payload\":{}}\n"));
}

TEST(Envelope, headFindsTypeAndRawPayloadInTheCallersLine)
{
    const QByteArray line = encodeEnvelope("learnedRates", fullRates().toJson()).chopped(1);
    const Decoded<EnvelopeHead> decoded = head(line);
    ASSERT_TRUE(decoded.ok()) << decoded.error.text().toStdString();
    EXPECT_EQ(decoded.value->v, 1);
    EXPECT_EQ(decoded.value->type, "learnedRates");
    const std::string_view payload = decoded.value->payload;
    EXPECT_GE(payload.data(), line.constData());
    EXPECT_LE(payload.data() + payload.size(), line.constData() + line.size());
    EXPECT_EQ(QByteArray(payload.data(), qsizetype(payload.size())), compact(fullRates().toJson()));

    const Decoded<LearnedRates> rates = LearnedRates::fromJsonText(payload, decoded.value->payloadCapacity);
    ASSERT_TRUE(rates.ok());
    EXPECT_EQ(*rates.value, fullRates());
}

TEST(Envelope, headReadsKeysInAnyOrderWithBlanksAndPadding)
{
    QByteArray line = R"(  { "payload" : { "subscribe" : true }  , "other":[1,2], "type" : "learnedRatesRequest", "v" : 1.0 }  )";
    const std::size_t capacity = padForDecoding(line);
    EXPECT_GE(capacity, size_t(line.size()) + jsonPadding);
    const Decoded<EnvelopeHead> decoded =
        decodeEnvelopeHead(std::string_view(line.constData(), size_t(line.size())), capacity);
    ASSERT_TRUE(decoded.ok()) << decoded.error.text().toStdString();
    EXPECT_EQ(decoded.value->v, 1);
    EXPECT_EQ(decoded.value->type, "learnedRatesRequest");
    EXPECT_EQ(decoded.value->payload, R"({ "subscribe" : true })");
    EXPECT_EQ(decoded.value->payload.data() + decoded.value->payloadCapacity, line.constData() + capacity);

    const Decoded<QJsonObject> object = payloadObject(decoded.value->payload);
    ASSERT_TRUE(object.ok());
    const Decoded<LearnedRatesRequest> request = LearnedRatesRequest::fromJson(*object.value);
    ASSERT_TRUE(request.ok());
    EXPECT_TRUE(request.value->subscribe);
}

TEST(Envelope, anotherVersionIsReportedNotRefused)
{
    const Decoded<EnvelopeHead> decoded = head(R"({"v":2,"type":"hello","payload":{}})");
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value->v, 2);
}

TEST(Envelope, badHeadsNameTheKey)
{
    expectHeadError(R"({"type":"x","payload":{}})", "v");
    expectHeadError(R"({"v":"1","type":"x","payload":{}})", "v");
    expectHeadError(R"({"v":1.5,"type":"x","payload":{}})", "v");
    expectHeadError(R"({"v":null,"type":"x","payload":{}})", "v");
    expectHeadError(R"({"v":99999999999,"type":"x","payload":{}})", "v");
    expectHeadError(R"({"v":1,"payload":{}})", "type");
    expectHeadError(R"({"v":1,"type":7,"payload":{}})", "type");
    expectHeadError(R"({"v":1,"type":"x"})", "payload");
    expectHeadError(R"({"v":1,"type":"x","payload":[]})", "payload");
    expectHeadError(R"({"v":1,"type":"x","payload":"{}"})", "payload");
    expectHeadError(R"({"v":1,"type":"x","payload":null})", "payload");
    // Not one JSON object: the key is empty.
    for (const char *line : {"", "hello", "[1]", "1", R"({"v":1,"type":"x","payload":{}} trailing)",
                             R"({"v":1,"type":"x","payload":{})", "\xc3\x28"})
        expectHeadError(line, "");
}

TEST(Envelope, payloadObjectRefusesWhatIsNotAnObject)
{
    EXPECT_TRUE(payloadObject("{}").ok());
    for (const char *payload : {"", "[]", "{\"a\":}", "null"}) {
        const Decoded<QJsonObject> decoded = payloadObject(payload);
        EXPECT_FALSE(decoded.ok()) << payload;
        EXPECT_EQ(decoded.error.key, "payload");
    }
}

TEST(Envelope, aScratchSharedByHeadAndPayloadGivesTheSameRecords)
{
    const QByteArray full = encodeEnvelope("learnedRates", fullRates().toJson());
    // Padded and unpadded lines, and a line whose payload key appears twice (the last wins).
    QByteArray padded = full;
    const std::size_t capacity = padForDecoding(padded);
    const QByteArray twice = R"({"v":1,"type":"learnedRates","payload":{"rows":[],"outputs":[]},"payload":)"
        + compact(fullRates().toJson()) + "}";
    const struct {
        const QByteArray &line;
        std::size_t capacity;
    } lines[] = {{padded, capacity}, {full, 0}, {twice, 0}};

    JsonScratch scratch;
    for (const auto &l : lines) {
        const std::string_view view(l.line.constData(), size_t(l.line.size()));
        const Decoded<EnvelopeHead> decodedHead = decodeEnvelopeHead(view, l.capacity, &scratch);
        ASSERT_TRUE(decodedHead.ok()) << decodedHead.error.text().toStdString();
        const EnvelopeHead &h = *decodedHead.value;
        const Decoded<LearnedRates> shared = LearnedRates::fromJsonText(h.payload, h.payloadCapacity, &scratch);
        ASSERT_TRUE(shared.ok()) << shared.error.text().toStdString();
        EXPECT_EQ(*shared.value, fullRates());
        // The scratch is used once: the same payload again is read afresh, with the same result.
        const Decoded<LearnedRates> again = LearnedRates::fromJsonText(h.payload, h.payloadCapacity, &scratch);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(*again.value, fullRates());
    }
}

TEST(Envelope, aScratchIsNotFooledByAnotherPayload)
{
    JsonScratch scratch;
    const QByteArray first = encodeEnvelope("learnedRates", fullRates().toJson());
    ASSERT_TRUE(decodeEnvelopeHead(std::string_view(first.constData(), size_t(first.size())), 0, &scratch).ok());

    // A payload from elsewhere, decoded with the scratch that last read `first`.
    LearnedRates other;
    other.rows = {minimalRow()};
    const QByteArray otherPayload = compact(other.toJson());
    const Decoded<LearnedRates> decoded =
        LearnedRates::fromJsonText(std::string_view(otherPayload.constData(), size_t(otherPayload.size())), 0, &scratch);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(*decoded.value, other);

    // A failed head leaves nothing behind for the next payload either.
    const QByteArray broken = R"({"v":1,"type":"learnedRates","payload":{"rows":[]})";
    EXPECT_FALSE(decodeEnvelopeHead(std::string_view(broken.constData(), size_t(broken.size())), 0, &scratch).ok());
    const Decoded<LearnedRates> afterFailure =
        LearnedRates::fromJsonText(std::string_view(otherPayload.constData(), size_t(otherPayload.size())), 0, &scratch);
    ASSERT_TRUE(afterFailure.ok());
    EXPECT_EQ(*afterFailure.value, other);
}

TEST(Envelope, aBadPayloadIsReportedThroughTheScratchToo)
{
    JsonScratch scratch;
    QJsonObject payload = fullRates().toJson();
    QJsonArray rows = payload["rows"].toArray();
    QJsonObject row = rows[1].toObject();
    row["confirmations"] = 2.5;
    rows[1] = row;
    payload["rows"] = rows;
    const QByteArray line = encodeEnvelope("learnedRates", payload);
    const Decoded<EnvelopeHead> h = decodeEnvelopeHead(std::string_view(line.constData(), size_t(line.size())), 0, &scratch);
    ASSERT_TRUE(h.ok());
    const Decoded<LearnedRates> decoded = LearnedRates::fromJsonText(h.value->payload, h.value->payloadCapacity, &scratch);
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error.key, "rows[1].confirmations");
    EXPECT_EQ(decoded.error.reason, "expected a whole number");
}
