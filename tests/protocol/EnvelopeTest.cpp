#include "ProtocolFixtures.h"

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
