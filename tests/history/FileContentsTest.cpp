// Reading the history file span by span must accept and refuse exactly what QJsonDocument does
// with the whole file, and read the same plays: damaged files of every kind included.
#include "HistoryTestSupport.h"
#include "WholeDocumentReading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using Contents = PlaybackHistory::FileContents;
using Kind = Contents::Kind;

// A file of these plays, with `extra` (members of the root, each followed by a comma) first.
QByteArray fileOf(const QList<PlaybackHistory::Entry> &plays, const QByteArray &extra = {})
{
    QJsonArray entries;
    for (const PlaybackHistory::Entry &play : plays) {
        QJsonObject json;
        json.insert(u"id", play.id.toString(QUuid::WithoutBraces));
        json.insert(u"at", play.at.toUTC().toString(Qt::ISODateWithMs));
        json.insert(u"title", play.title);
        json.insert(u"artist", play.artist);
        if (play.source)
            json.insert(u"source", *play.source);
        if (play.playedRate)
            json.insert(u"playedRate", *play.playedRate);
        json.insert(u"corrected", play.corrected);
        if (play.musicStartMs)
            json.insert(u"musicStartMs", *play.musicStartMs);
        entries.append(json);
    }
    return "{" + extra + R"("v":1,"entries":)" + QJsonDocument(entries).toJson(QJsonDocument::Compact) + "}";
}

void expectSameReading(const QByteArray &bytes)
{
    const Contents expected = wholeDocumentReading(bytes);
    const Contents read = PlaybackHistory::readFileContents(bytes);
    EXPECT_EQ(read.kind, expected.kind) << bytes.left(300).toStdString();
    EXPECT_EQ(read.version, expected.version) << bytes.left(300).toStdString();
    EXPECT_TRUE(read.entries == expected.entries) << bytes.left(300).toStdString();
}

} // namespace

TEST(HistoryFileContents, ReadsWhatTheWholeDocumentHolds)
{
    PlaybackHistory::Entry play = fullSample();
    play.source = QStringLiteral("catalog/\"quoted\"/pinned");
    const QByteArray file =
        fileOf({play, sample(QStringLiteral("Ωμέγα \\ back")), sample(QStringLiteral("x"))},
               R"("unknown": [1, {"a": []}, "]}\""],)");
    const Contents read = PlaybackHistory::readFileContents(file);
    ASSERT_EQ(read.kind, Kind::plays);
    EXPECT_EQ(read.entries.size(), 3);
    expectSameReading(file);

    const QList<QByteArray> cases{
        "",
        "   ",
        "[]",
        "null",
        "{}",
        R"({"v":1})",
        R"({"v":1,"entries":[]})",
        "\xEF\xBB\xBF"
        R"( {"v" : 1 , "entries" : [ ] } )",
        R"({"v":1,"entries":[]} x)",
        QByteArray(R"({"v":1,"entries":[]})") + '\0',
        R"({"v":1,"entries":[],})",
        R"({"v":1,"entries":[,]})",
        R"({"v":1,"entries":[{}],"entries":[]})", // the last of two equal keys counts
        R"({"v":1,"entries":[1,],"entries":[]})", // but the first must still be JSON
        R"({"v":2,"v":1,"entries":[]})",
        R"({"\u0076":1,"\u0065ntries":[]})", // escaped keys
        // A byte order mark leading a key makes another key, though it prints alike.
        R"({"v":1,"entries":[4],")"
        "\xEF\xBB\xBF"
        R"(entries":[]})",
        R"({"v":1e300,"entries":[]})", // a version beyond qint64 saturates
        R"({"v":1e400,"entries":[]})",
        R"({"v":2,"entries":{"other":"shape"}})", // a newer version may keep plays otherwise
        R"({"v":2})",
        R"({"v":2,"entries":[1,2}})",
        R"({"v":"1","entries":[]})",
        R"({"v":1,"entries":[{"id":"x"]})",
        R"({"v":1,"entries":[["not an object"]]})",
        R"({"v":1,"entries":"[]"})",
        R"({"v":1,"entries":[]01})",
        R"({"v":01,"entries":[]})",
        R"({"v":1,"entries":[],"more":tru})",
        R"({"v":1,"entries":[],"more":"\ud800"})",
        "{\"v\":1,\"entries\":[],\"more\":\"\xff\"}",
        "{\"v\":1,\"entries\":[],\"more\":\"tab\there\"}",
        R"({"v":1,"entries":[{"id":"00000000-0000-0000-0000-000000000001","at":"2026-03-01T12:00:00.000Z","title":"t","artist":"a","musicStartMs":1e300}]})",
    };
    for (const QByteArray &bytes : cases)
        expectSameReading(bytes);

    // Nesting right at QJsonDocument's limit, in an unknown member and inside a play.
    for (int depth : {1021, 1022, 1023, 1024}) {
        const QByteArray nested = QByteArray(depth, '[') + QByteArray(depth, ']');
        expectSameReading(R"({"v":1,"entries":[],"deep":)" + nested + "}");
        expectSameReading(R"({"v":2,"entries":[)" + nested + "]}");
    }
}

TEST(HistoryFileContents, KeepsTheNewestPlaysOfALongerFile)
{
    QList<PlaybackHistory::Entry> plays;
    for (int i = 0; i < PlaybackHistory::maximumEntries + 3; ++i)
        plays.append(sample(QString::number(i)));
    const Contents read = PlaybackHistory::readFileContents(fileOf(plays));
    ASSERT_EQ(read.entries.size(), PlaybackHistory::maximumEntries);
    EXPECT_EQ(read.entries.first().title, u"3");
    EXPECT_EQ(read.entries.last().title, QString::number(PlaybackHistory::maximumEntries + 2));

    // A damaged play among those that are dropped still makes the whole file damaged.
    QByteArray damaged = fileOf(plays);
    damaged.replace(R"("title":"1")", R"("title":1)");
    expectSameReading(damaged);
    EXPECT_EQ(PlaybackHistory::readFileContents(damaged).kind, Kind::damaged);
}

// Every byte of a small file replaced, removed or doubled: each damaged file is refused or read
// as the whole document reads it.
TEST(HistoryFileContents, MutatedFilesReadAsTheWholeDocumentReadsThem)
{
    PlaybackHistory::Entry play = sample(QStringLiteral("Café \"Live\""));
    play.source = QStringLiteral("learned");
    play.musicStartMs = 1200;
    play.playedRate = 44100.5;
    play.corrected = true;
    const QByteArray file = fileOf({play, sample(QStringLiteral("b"))}, R"("x":[{},2.5e3,null],)");
    const QByteArray replacements = QByteArrayLiteral("\"\\{}[],: 0-x\xc3\x80");
    int refused = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        for (const char c : replacements) {
            QByteArray mutated = file;
            mutated[i] = c;
            refused += PlaybackHistory::readFileContents(mutated).kind == Kind::damaged;
            expectSameReading(mutated);
        }
        expectSameReading(QByteArray(file).remove(i, 1));
        expectSameReading(QByteArray(file).insert(i, file.at(i)));
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(refused, file.size()); // the mutations did damage the file
}
