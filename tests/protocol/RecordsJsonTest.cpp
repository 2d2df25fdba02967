#include "ProtocolFixtures.h"

using namespace ProtocolFixtures;

namespace {

// Each value is encoded, re-read through JSON text (as the wire does) and decoded.
template <class... T> void expectRoundTrips(const T &...values)
{
    (
        [&] {
            const Decoded<T> decoded = T::fromJson(parse(compact(values.toJson())));
            EXPECT_EQ(decoded.value, values) << decoded.error.text().toStdString();
        }(),
        ...);
}

struct ErrorCase {
    QJsonObject json;
    const char *key;
    const char *reason;
};

QStringList keys(const QJsonObject &json)
{
    QStringList list = json.keys();
    list.sort();
    return list;
}

// Replaces one key of `json` (or removes it, for an undefined value).
QJsonObject with(QJsonObject json, const QString &key, const QJsonValue &value)
{
    if (value.isUndefined())
        json.remove(key);
    else
        json[key] = value;
    return json;
}

} // namespace

TEST(ProtocolRecords, everyRecordSurvivesJsonWithAllOptionalsSet)
{
    const RateLibraryImported imported{"dryRun",
                                       true,
                                       "no",
                                       "older file",
                                       "from another Mac",
                                       "share",
                                       3,
                                       "143441-1,29",
                                       "2.4.1",
                                       utc("2026-02-28T08:15:30.500Z"),
                                       4021,
                                       "143443-2,29",
                                       40,
                                       12,
                                       260,
                                       3,
                                       1,
                                       2};
    expectRoundTrips(fullRates(), MusicQuality{true, 2, true, "always"},
                     LocalFilesResult{1200, 1100, 100, 950}, imported,
                     PinLearnedRate{"x", "lossless", 48000, "T", "A", "B"}, RowRef{"x", "any"},
                     SetDeviceAtmos{"dev", false}, ResetOutput{"dev"}, LearnedRatesRequest{true},
                     RateLibraryChunk{"QUJD", true, false, "apply"},
                     LocalFilesBatch{{{"id1", "t", "a", "b", 176400}, {"id2", {}, {}, {}, 44100}}, true},
                     RateLibraryExportRequest{"backup"}, RateLibraryFile{"share", false, "busy", "e30="});
}

TEST(ProtocolRecords, absentOptionalsAreLeftOutAndReadBackAbsent)
{
    EXPECT_EQ(keys(minimalRow().toJson()), QStringList({"confirmations", "confirmedAt", "id", "kind",
                                                        "pinned", "rate", "source", "tier"}));
    EXPECT_EQ(keys(LearnedRates{}.toJson()), QStringList({"outputs", "rows"}));
    EXPECT_EQ(compact(SetDeviceAtmos{"dev", std::nullopt}.toJson()), QByteArray(R"({"deviceUID":"dev"})"));
    RateLibraryImported refused;
    refused.mode = "apply";
    EXPECT_EQ(keys(refused.toJson()), QStringList({"known", "mode", "new", "ok", "outputsNew",
                                                   "outputsUpdated", "skipped", "updated"}));
    EXPECT_EQ(keys(MusicQuality{}.toJson()), QStringList({"lossless", "tier"}));
    expectRoundTrips(minimalRow(), LearnedRates{}, SetDeviceAtmos{"dev", std::nullopt}, refused,
                     MusicQuality{}, RateLibraryFile{"backup", true, std::nullopt, std::nullopt});

    // Null for an optional reads as absent; unknown keys are ignored.
    QJsonObject json = fullRow().toJson();
    json["title"] = QJsonValue::Null;
    json["learnedRate"] = QJsonValue::Null;
    json["addedInVersion9"] = QJsonObject{{"nested", QJsonArray{1, 2}}};
    LearnedRates::Row expected = fullRow();
    expected.title.reset();
    expected.learnedRate.reset();
    EXPECT_EQ(LearnedRates::Row::fromJson(json).value, expected);
}

TEST(ProtocolRecords, wrongTypesAndMissingKeysAreNamed)
{
    const QJsonObject row = fullRow().toJson();
    const QJsonValue gone = QJsonValue::Undefined;
    // Each field's own errors are checked with the fast path's; here, that the first bad field in
    // declaration order is the one reported.
    expectError<LearnedRates::Row>(with(with(row, "confirmedAt", gone), "kind", false), "kind",
                                   "expected a string");

    // A never-set date has no text, so the reader refuses it instead of inventing one.
    LearnedRates::Row undated = minimalRow();
    undated.confirmedAt = QDateTime();
    expectError<LearnedRates::Row>(parse(compact(undated.toJson())), "confirmedAt",
                                   "expected an ISO 8601 date");

    QJsonArray fiveRows;
    for (int i = 0; i < 5; ++i)
        fiveRows.append(
            with(minimalRow().toJson(), "rate", i == 3 ? QJsonValue("44100") : QJsonValue(44100)));
    const QJsonObject rates = fullRates().toJson();
    QJsonArray outputs = rates["outputs"].toArray();
    outputs[1] = with(outputs[1].toObject(), "atmosOutput", 1);
    const ErrorCase ratesCases[] = {
        {with(rates, "rows", fiveRows), "rows[3].rate", "expected a number"},
        {with(rates, "rows", QJsonArray{minimalRow().toJson(), "not a row"}), "rows[1]",
         "expected an object"},
        {with(rates, "rows", QJsonObject{}), "rows", "expected an array"},
        {with(rates, "outputs", outputs), "outputs[1].atmosOutput", "expected true or false"},
        {with(rates, "outputs", gone), "outputs", "missing"},
    };
    for (const auto &c : ratesCases)
        expectError<LearnedRates>(c.json, c.key, c.reason);

    expectError<LocalFilesBatch>(
        QJsonObject{{"rows", QJsonArray{QJsonObject{{"rate", 44100}}}}, {"done", false}}, "rows[0].id",
        "missing");
    const QJsonObject imported = RateLibraryImported{}.toJson();
    expectError<RateLibraryImported>(with(imported, "new", gone), "new", "missing");
    expectError<RateLibraryImported>(with(imported, "writtenAt", 1700000000), "writtenAt",
                                     "expected an ISO 8601 date");
    expectError<SetDeviceAtmos>(QJsonObject{{"atmosOutput", true}}, "deviceUID", "missing");
    expectError<LearnedRatesRequest>(QJsonObject{{"subscribe", "yes"}}, "subscribe",
                                     "expected true or false");
    EXPECT_EQ((DecodeError{"", "not a JSON object"}.text()), "not a JSON object");

    // A whole number written as a float is still whole; 2^53 + 1 is kept exact.
    EXPECT_EQ(LocalFilesResult::fromJson(
                  parse(R"({"scanned":3.0,"matched":1e3,"unmatched":-0.0,"updated":9007199254740993})"))
                  .value,
              (LocalFilesResult{3, 1000, 0, 9007199254740993}));
}
