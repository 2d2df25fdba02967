#include "ProtocolFixtures.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace SwitcherProtocol;
using namespace ProtocolFixtures;

namespace {

// Encodes, re-reads through JSON text (as the wire does) and decodes.
template <class T>
T roundTrip(const T &value)
{
    const QJsonObject json = parse(compact(value.toJson()));
    Decoded<T> decoded = T::fromJson(json);
    EXPECT_TRUE(decoded.ok()) << decoded.error.text().toStdString();
    return decoded.value.value_or(T{});
}

template <class T>
void expectError(const QJsonObject &json, const char *key, const QString &reason)
{
    const Decoded<T> decoded = T::fromJson(json);
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error.key, QString::fromLatin1(key));
    EXPECT_EQ(decoded.error.reason, reason);
}

QStringList keys(const QJsonObject &json)
{
    QStringList list = json.keys();
    list.sort();
    return list;
}

} // namespace

TEST(ProtocolRecords, everyRecordSurvivesJsonWithAllOptionalsSet)
{
    EXPECT_EQ(roundTrip(fullRates()), fullRates());

    const MusicQuality quality{true, 2, true, QStringLiteral("always")};
    EXPECT_EQ(roundTrip(quality), quality);

    const LocalFilesResult scan{1200, 1100, 100, 950};
    EXPECT_EQ(roundTrip(scan), scan);

    RateLibraryImported imported;
    imported.mode = QStringLiteral("dryRun");
    imported.ok = true;
    imported.refusal = QStringLiteral("no");
    imported.warning = QStringLiteral("older file");
    imported.note = QStringLiteral("from another Mac");
    imported.flavour = QStringLiteral("share");
    imported.fileVersion = 3;
    imported.storefront = QStringLiteral("143441-1,29");
    imported.appVersion = QStringLiteral("2.4.1");
    imported.writtenAt = utc("2026-02-28T08:15:30.500Z");
    imported.fileTracks = 4021;
    imported.localStorefront = QStringLiteral("143443-2,29");
    imported.newCount = 40;
    imported.updated = 12;
    imported.known = 260;
    imported.skipped = 3;
    imported.outputsNew = 1;
    imported.outputsUpdated = 2;
    EXPECT_EQ(roundTrip(imported), imported);
    EXPECT_EQ(imported.toJson().value("new").toInteger(), 40);
    EXPECT_FALSE(imported.toJson().contains("newCount"));

    const PinLearnedRate pin{QStringLiteral("x"), QStringLiteral("lossless"), 48000, QStringLiteral("T"),
                             QStringLiteral("A"), QStringLiteral("B")};
    EXPECT_EQ(roundTrip(pin), pin);

    const RowRef ref{QStringLiteral("x"), QStringLiteral("any")};
    EXPECT_EQ(roundTrip(ref), ref);

    const SetDeviceAtmos atmosFalse{QStringLiteral("dev"), false};
    EXPECT_EQ(roundTrip(atmosFalse), atmosFalse);
    EXPECT_EQ(roundTrip(ResetOutput{QStringLiteral("dev")}), ResetOutput{QStringLiteral("dev")});
    EXPECT_EQ(roundTrip(LearnedRatesRequest{true}), LearnedRatesRequest{true});

    const RateLibraryChunk chunk{QStringLiteral("QUJD"), true, false, QStringLiteral("apply")};
    EXPECT_EQ(roundTrip(chunk), chunk);

    LocalFilesBatch batch;
    batch.rows = {{QStringLiteral("id1"), QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("b"), 176400},
                  {QStringLiteral("id2"), std::nullopt, std::nullopt, std::nullopt, 44100}};
    batch.done = true;
    EXPECT_EQ(roundTrip(batch), batch);

    EXPECT_EQ(roundTrip(RateLibraryExportRequest{QStringLiteral("backup")}),
              RateLibraryExportRequest{QStringLiteral("backup")});

    const RateLibraryFile file{QStringLiteral("share"), false, QStringLiteral("busy"), QStringLiteral("e30=")};
    EXPECT_EQ(roundTrip(file), file);
}

TEST(ProtocolRecords, absentOptionalsAreLeftOutAndReadBackAbsent)
{
    EXPECT_EQ(keys(minimalRow().toJson()),
              QStringList({"confirmations", "confirmedAt", "id", "kind", "pinned", "rate", "source", "tier"}));
    EXPECT_EQ(roundTrip(minimalRow()), minimalRow());

    LearnedRates empty;
    EXPECT_EQ(keys(empty.toJson()), QStringList({"outputs", "rows"}));
    EXPECT_EQ(roundTrip(empty), empty);

    const SetDeviceAtmos leftToPlays{QStringLiteral("dev"), std::nullopt};
    EXPECT_EQ(compact(leftToPlays.toJson()), QByteArray(R"({"deviceUID":"dev"})"));
    EXPECT_EQ(roundTrip(leftToPlays), leftToPlays);

    RateLibraryImported refused;
    refused.mode = QStringLiteral("apply");
    EXPECT_EQ(keys(refused.toJson()),
              QStringList({"known", "mode", "new", "ok", "outputsNew", "outputsUpdated", "skipped", "updated"}));
    EXPECT_EQ(roundTrip(refused), refused);

    const MusicQuality aac{false, 0, std::nullopt, std::nullopt};
    EXPECT_EQ(keys(aac.toJson()), QStringList({"lossless", "tier"}));
    EXPECT_EQ(roundTrip(aac), aac);

    const RateLibraryFile ok{QStringLiteral("backup"), true, std::nullopt, std::nullopt};
    EXPECT_EQ(roundTrip(ok), ok);
}

TEST(ProtocolRecords, datesTravelAsUtcWithMilliseconds)
{
    EXPECT_EQ(minimalRow().toJson().value("confirmedAt").toString(), "1999-12-31T23:59:59.000Z");
    const QDateTime berlin = QDateTime::fromString("2026-03-01T13:00:00.250+01:00", Qt::ISODateWithMs);
    EXPECT_EQ(isoDate(berlin), "2026-03-01T12:00:00.250Z");
    // A date that was never set has no text, so the reader refuses it instead of inventing one.
    EXPECT_EQ(isoDate(QDateTime()), QString());
    LearnedRates::Row undated = minimalRow();
    undated.confirmedAt = QDateTime();
    expectError<LearnedRates::Row>(parse(compact(undated.toJson())), "confirmedAt", "expected an ISO 8601 date");
}

TEST(ProtocolRecords, nullForAnOptionalIsAbsentButForARequiredFieldIsAnError)
{
    QJsonObject json = fullRow().toJson();
    json["title"] = QJsonValue::Null;
    json["learnedRate"] = QJsonValue::Null;
    const Decoded<LearnedRates::Row> row = LearnedRates::Row::fromJson(json);
    ASSERT_TRUE(row.ok());
    EXPECT_FALSE(row.value->title);
    EXPECT_FALSE(row.value->learnedRate);
    EXPECT_EQ(row.value->artist, fullRow().artist);

    json["rate"] = QJsonValue::Null;
    expectError<LearnedRates::Row>(json, "rate", "expected a number");
}

TEST(ProtocolRecords, wrongTypesAndMissingKeysAreNamed)
{
    QJsonObject row = fullRow().toJson();
    row.remove("pinned");
    expectError<LearnedRates::Row>(row, "pinned", "missing");

    row = fullRow().toJson();
    row["id"] = 42;
    expectError<LearnedRates::Row>(row, "id", "expected a string");
    row = fullRow().toJson();
    row["pinned"] = "true";
    expectError<LearnedRates::Row>(row, "pinned", "expected true or false");
    row = fullRow().toJson();
    row["confirmedAt"] = "yesterday";
    expectError<LearnedRates::Row>(row, "confirmedAt", "expected an ISO 8601 date");
    row = fullRow().toJson();
    row["artist"] = QJsonArray{"a"};
    expectError<LearnedRates::Row>(row, "artist", "expected a string");

    // The first bad field in declaration order is the one reported.
    row = fullRow().toJson();
    row.remove("confirmedAt");
    row["kind"] = false;
    expectError<LearnedRates::Row>(row, "kind", "expected a string");

    QJsonObject rates = fullRates().toJson();
    QJsonArray rows;
    for (int i = 0; i < 5; ++i)
        rows.append(minimalRow().toJson());
    QJsonObject bad = minimalRow().toJson();
    bad["rate"] = "44100";
    rows[3] = bad;
    rates["rows"] = rows;
    expectError<LearnedRates>(rates, "rows[3].rate", "expected a number");
    rows[3] = "not a row";
    rates["rows"] = rows;
    expectError<LearnedRates>(rates, "rows[3]", "expected an object");
    rates["rows"] = QJsonObject{};
    expectError<LearnedRates>(rates, "rows", "expected an array");

    rates = fullRates().toJson();
    QJsonArray outputs = rates["outputs"].toArray();
    QJsonObject output = outputs[1].toObject();
    output["atmosOutput"] = 1;
    outputs[1] = output;
    rates["outputs"] = outputs;
    expectError<LearnedRates>(rates, "outputs[1].atmosOutput", "expected true or false");
    rates.remove("outputs");
    expectError<LearnedRates>(rates, "outputs", "missing");

    QJsonObject batch = LocalFilesBatch{{LocalFileRow{QStringLiteral("a"), {}, {}, {}, 44100}}, false}.toJson();
    batch["rows"] = QJsonArray{QJsonObject{{"rate", 44100}}};
    expectError<LocalFilesBatch>(batch, "rows[0].id", "missing");

    QJsonObject imported = RateLibraryImported{}.toJson();
    imported.remove("new");
    expectError<RateLibraryImported>(imported, "new", "missing");
    imported["new"] = 1;
    imported["writtenAt"] = 1700000000;
    expectError<RateLibraryImported>(imported, "writtenAt", "expected an ISO 8601 date");

    expectError<SetDeviceAtmos>(QJsonObject{{"atmosOutput", true}}, "deviceUID", "missing");
    expectError<LearnedRatesRequest>(QJsonObject{{"subscribe", "yes"}}, "subscribe", "expected true or false");
}

TEST(ProtocolRecords, integersMustBeWholeNumbers)
{
    QJsonObject scan = LocalFilesResult{1, 2, 3, 4}.toJson();
    scan["matched"] = 1.5;
    expectError<LocalFilesResult>(scan, "matched", "expected a whole number");
    scan["matched"] = "2";
    expectError<LocalFilesResult>(scan, "matched", "expected a whole number");
    scan["matched"] = 1e30;
    expectError<LocalFilesResult>(scan, "matched", "expected a whole number");

    // A whole number written as a float is still whole.
    const Decoded<LocalFilesResult> whole =
        LocalFilesResult::fromJson(parse(R"({"scanned":3.0,"matched":1e3,"unmatched":-0.0,"updated":9007199254740993})"));
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.value->scanned, 3);
    EXPECT_EQ(whole.value->matched, 1000);
    EXPECT_EQ(whole.value->unmatched, 0);
    EXPECT_EQ(whole.value->updated, 9007199254740993); // beyond a double's exact range, kept exact
}

TEST(ProtocolRecords, unknownKeysAreIgnored)
{
    QJsonObject json = fullRow().toJson();
    json["addedInVersion9"] = QJsonObject{{"nested", QJsonArray{1, 2}}};
    const Decoded<LearnedRates::Row> row = LearnedRates::Row::fromJson(json);
    ASSERT_TRUE(row.ok());
    EXPECT_EQ(*row.value, fullRow());
}

TEST(ProtocolRecords, errorTextNamesTheKey)
{
    EXPECT_EQ((DecodeError{"rows[3].rate", "expected a number"}.text()), "rows[3].rate: expected a number");
    EXPECT_EQ((DecodeError{"", "not a JSON object"}.text()), "not a JSON object");
}
