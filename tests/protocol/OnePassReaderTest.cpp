// The one-pass reader of large "learnedRates" lines may give up on anything, but what it reads
// must be exactly what the general decoders read; and it must not give up on what the
// companion actually sends, or large libraries silently take the slow road.
#include "LearnedRatesLineReader.h"
#include "ProtocolFixtures.h"

#include <QFile>
#include <QSet>

#include <functional>

using namespace ProtocolFixtures;
using SwitcherProtocol::Detail::readLearnedRatesLine;

namespace {

// Reads the line where it is, with the padding the link leaves after it; the views in the
// result point into `line`.
std::optional<Detail::LearnedRatesLine> readPadded(QByteArray &line)
{
    padForDecoding(line);
    return readLearnedRatesLine(view(line));
}

// What the general decoders make of the line: the head, then the QJsonObject reading.
void expectReadAsTheGeneralDecodersDo(const QByteArray &line, const Detail::LearnedRatesLine &read)
{
    const auto head = decodeEnvelopeHead(view(line));
    ASSERT_TRUE(head.ok()) << line.left(300).toStdString();
    EXPECT_EQ(read.v, head.value->v);
    EXPECT_EQ(read.type, head.value->type);
    EXPECT_EQ(read.payload, head.value->payload);
    const auto slow = payloadObject(head.value->payload);
    ASSERT_TRUE(slow.ok());
    const auto rates = LearnedRates::fromJson(*slow.value);
    ASSERT_TRUE(rates.ok()) << rates.error.text().toStdString();
    EXPECT_EQ(read.rates, *rates.value) << line.left(300).toStdString();
}

LearnedRates companionLibrary()
{
    QFile fixture(QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json"));
    if (!fixture.open(QIODevice::ReadOnly))
        return {};
    return LearnedRates::fromJson(parse(fixture.readAll())).value.value_or(LearnedRates{});
}

QByteArray lineOf(const QByteArray &payload, const QByteArray &around = R"("type":"learnedRates","v":1)")
{
    return R"({"payload":)" + payload + "," + around + "}";
}

} // namespace

TEST(OnePassReader, readsWhatTheCompanionSends)
{
    const LearnedRates library = companionLibrary();
    ASSERT_FALSE(library.rows.isEmpty());
    for (const LearnedRates &rates : {library, fullRates(), LearnedRates{}}) {
        QByteArray line = encodeEnvelope(QStringLiteral("learnedRates"), rates.toJson()).chopped(1);
        const auto read = readPadded(line);
        ASSERT_TRUE(read.has_value()) << line.left(300).toStdString();
        expectReadAsTheGeneralDecodersDo(line, *read);
    }

    // What another encoder may write: escaped slashes and \u escapes (a surrogate pair too),
    // blanks between tokens, keys in another order, nulls, unknown keys of any shape, numbers
    // written with exponents and fractions.
    QByteArray unusual = lineOf(
        R"( { "notice" : null , "extra" : {"a":[1,-2.5e-3,{"b":null,"c":[true,false,"\u00e9"]}]},)"
        R"( "outputs" : [ { "atmos" : null , "deviceUID" : "AC\/DC \"x\"" , "future" : [ ] } ] ,)"
        R"( "rows" : [ { "confirmedAt" : "2026-03-01T12:00:00.123+02:00" , "title" : "Caf\u00e9 \ud83c\udfb9\t\\" ,)"
        R"( "learnedRate" : null , "source" : "learned" , "confirmations" : 3.0 , "pinned" : true ,)"
        R"( "rate" : 4.41e4 , "tier" : "any" , "kind" : "catalog" , "id" : "\u0031" ,)"
        R"( "artist" : "Bj\u00f6rk" , "album" : "Bj\u00f6rk" } ] , "nowPlayingID" : "1" } )",
        R"( "v" : 1 , "ignored" : [ {} ] , "type" : "learnedRates" )");
    const auto read = readPadded(unusual);
    ASSERT_TRUE(read.has_value());
    expectReadAsTheGeneralDecodersDo(unusual, *read);
    EXPECT_EQ(read->rates.rows.first().title, QStringLiteral(u"Café 🎹\t\\"));
}

TEST(OnePassReader, leavesToTheGeneralDecodersWhatItDoesNotReadItself)
{
    const QByteArray payload = compact(fullRates().toJson());
    const QByteArray row = compact(minimalRow().toJson());
    QByteArray cases[] = {
        lineOf(payload, R"("type":"localFilesResult","v":1)"),   // another message
        lineOf(payload, R"("type":"learnedRates","v":1,"v":2)"), // a duplicate key
        lineOf(payload, R"("type":"learnedRates")"),             // no version
        lineOf(R"({"rows":[)" + row + R"(],"outputs":[],"rows":[]})"),
        lineOf(R"({"rows":[)" + row.chopped(1) + R"(,"rate":"fast"}],"outputs":[]})"),
        lineOf(R"({"rows":[{"id":"x"}],"outputs":[]})"),              // required fields missing
        lineOf(R"({"rows":[],"outputs":[{"deviceUID":"a\ud800"}]})"), // a lone surrogate
        lineOf(R"({"rows":[],"outputs":[{"deviceUID":"a\x"}]})"),     // an unknown escape
        lineOf(R"({"rows":[],"outputs":[{"deviceUID":"a)"
               "\x01"
               R"("}]})"),                                             // a raw control character
        lineOf(R"({"rows":[],"outputs":[{"deviceUID":"\xC3\x28"}]})"), // broken UTF-8
        lineOf(R"({"rows":[],"outputs":[],"x":01})"),                  // a leading zero
        lineOf(R"({"rows":[],"outputs":[],"x":1e999})"),               // beyond a double
        lineOf(R"({"rows":[],"outputs":[]})") + " x",                  // something after the line
        lineOf(R"({"rows":[],"outputs":[],"x":)" + QByteArray(100, '[') + QByteArray(100, ']') + "}"),
    };
    for (QByteArray &line : cases)
        EXPECT_FALSE(readPadded(line).has_value()) << line.left(300).toStdString();
}

// A text that opens with a byte order mark: QJsonDocument drops it where the string has no
// escapes and keeps U+FEFF where it has; the one-pass reader reads it as QJsonDocument does, with
// or without an earlier library to take texts from.
TEST(OnePassReader, readsATextThatOpensWithABomAsQJsonDocumentDoes)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray rows[] = {
        R"({"id":")" + bom + R"(1","kind":")" + bom + R"(library","tier":")" + bom +
            R"(lossless","title":")" + bom + bom + R"(Two","artist":")" + bom + R"(A","album":")" + bom +
            R"(B","rate":48000,"pinned":false,"source":"s","confirmations":0,"confirmedAt":")" + bom +
            R"(2026-01-01T00:00:00Z"})",
        R"({"id":")" + bom + R"(\u0031","kind":")" + bom +
            R"(librar\u0079","tier":"\uFEFFlossless","title":")" + bom +
            R"(\"Live\"","artist":"\ufeffA","album":")" + bom +
            R"(\u0042","rate":48000,"pinned":false,"source":"s","confirmations":0,"confirmedAt":"2026-01-01T00:00:00Z"})",
    };
    for (const QByteArray &row : rows) {
        QByteArray line =
            lineOf(R"({"rows":[)" + row + R"(],"outputs":[{"deviceUID":")" + bom + R"(\u0078"}]})");
        const std::optional<Detail::LearnedRatesLine> read = readPadded(line);
        ASSERT_TRUE(read.has_value()) << line.toStdString();
        expectReadAsTheGeneralDecodersDo(line, *read);
        const QList<LearnedRates::Row> earlier = read->rates.rows;
        const std::optional<Detail::LearnedRatesLine> again = readLearnedRatesLine(view(line), &earlier);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->rates, read->rates);
    }
}

// The companion sends its whole library again after every change: the texts that read the same
// are taken from the library read before (one copy in memory, not two), and what is read is
// exactly what a reading without it gives.
TEST(OnePassReader, takesTheTextsThatReadTheSameFromTheEarlierLibrary)
{
    LearnedRates source = companionLibrary();
    source.rows.prepend(fullRow()); // escaped and non-ASCII texts
    QByteArray earlierLine = encodeEnvelope(QStringLiteral("learnedRates"), source.toJson()).chopped(1);
    const auto earlier = readPadded(earlierLine);
    ASSERT_TRUE(earlier.has_value());
    QSet<const QChar *> earlierTexts;
    const auto textsOf = [](const LearnedRates::Row &row) {
        QList<QString> texts{row.id};
        for (const auto *text : {&row.title, &row.artist, &row.album}) {
            if (*text && !(*text)->isEmpty())
                texts.append(**text);
        }
        return texts;
    };
    for (const auto &row : earlier->rates.rows) {
        for (const QString &text : textsOf(row))
            earlierTexts.insert(text.constData());
    }

    struct Case {
        const char *change;
        std::function<void(QList<LearnedRates::Row> &)> apply;
        qsizetype mostNotShared; // texts of the new library not taken from the earlier one
    };
    const Case cases[] = {
        {"sent again unchanged", [](auto &) {}, 0},
        {"one title changed", [](auto &rows) { rows[7].title = QStringLiteral("Another take"); }, 1},
        // The moved row and the rows at the two places it left and took.
        {"a played row moved to the top", [](auto &rows) { rows.move(200, 0); }, 12},
        {"a row learned at the top, the last forgotten",
         [](auto &rows) {
             rows.removeLast();
             rows.prepend(minimalRow());
         },
         5},
        {"another library", [](auto &rows) { rows = fullRates().rows + fullRates().rows; }, 10},
    };
    for (const Case &c : cases) {
        LearnedRates next = source;
        c.apply(next.rows);
        QByteArray line = encodeEnvelope(QStringLiteral("learnedRates"), next.toJson()).chopped(1);
        padForDecoding(line);
        const auto plain = readLearnedRatesLine(view(line));
        const auto sharing = readLearnedRatesLine(view(line), &earlier->rates.rows);
        ASSERT_TRUE(plain && sharing) << c.change;
        EXPECT_EQ(sharing->rates, plain->rates) << c.change;
        qsizetype texts = 0, shared = 0;
        for (const auto &row : sharing->rates.rows) {
            for (const QString &text : textsOf(row)) {
                ++texts;
                shared += earlierTexts.contains(text.constData());
            }
        }
        EXPECT_LE(texts - shared, c.mostNotShared) << c.change;
    }
}
