// The Rate Library backup file: what it writes, and every way a file can fail to be one.
#include "RateLibraryFile.h"
#include "JsonOutline.h"

#include <QJsonDocument>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using Error = RateLibraryFile::Error;

const QByteArray library = R"({"rows":[{"id":"1","tier":"hires","rate":96000}],"outputs":[]})";

QByteArray header(quint8 version)
{
    return QByteArray("CORVANERATES") + char(version);
}

// A raw DEFLATE stream, as writers that leave out zlib's wrapper produce.
QByteArray rawDeflate(const QByteArray &bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

std::optional<Error> errorOf(const QByteArray &bytes, qsizetype cap = RateLibraryFile::maximumJsonBytes)
{
    const RateLibraryFile::Decoded decoded = RateLibraryFile::decode(bytes, cap);
    return decoded.ok() ? std::nullopt : std::optional<Error>(decoded.error);
}

// An object whose one member nests arrays until the whole is `depth` deep, the root counted.
QByteArray nestedLibrary(int depth)
{
    return "{\"rows\":" + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
}

} // namespace

TEST(RateLibraryFile, WritesTheMagicTheVersionAndAZlibStream)
{
    const QByteArray file = RateLibraryFile::encode(library);
    ASSERT_TRUE(file.startsWith(header(1)));
    QByteArray unpacked(library.size(), Qt::Uninitialized);
    uLongf size = uLongf(unpacked.size());
    const QByteArray body = file.mid(13);
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef *>(unpacked.data()), &size,
                         reinterpret_cast<const Bytef *>(body.constData()), uLong(body.size())),
              Z_OK);
    EXPECT_EQ(unpacked, library);

    EXPECT_EQ(RateLibraryFile::decode(file).json, library);
}

TEST(RateLibraryFile, ReadsLargeFilesRawDeflateAndPlainJson)
{
    QByteArray big = "{\"rows\":[";
    QRandomGenerator generator(7);
    for (int i = 0; i < 50'000; ++i)
        big += QByteArray(i ? "," : "") + "{\"id\":\"" + QByteArray::number(generator.generate()) +
               "\",\"rate\":44100}";
    big += "]}";
    EXPECT_EQ(RateLibraryFile::decode(RateLibraryFile::encode(big)).json, big);
    const std::atomic<bool> cancelled = true; // a newer file was chosen meanwhile
    EXPECT_FALSE(
        RateLibraryFile::decode(RateLibraryFile::encode(big), RateLibraryFile::maximumJsonBytes, &cancelled)
            .ok());
    EXPECT_EQ(RateLibraryFile::decode(header(1) + rawDeflate(library)).json, library);

    EXPECT_EQ(RateLibraryFile::decode(library).json, library);
    EXPECT_EQ(RateLibraryFile::decode("\xEF\xBB\xBF \n" + library).json, library);
}

TEST(RateLibraryFile, TellsNewerNotALibraryAndDamagedApart)
{
    const QByteArray good = RateLibraryFile::encode(library);
    EXPECT_EQ(errorOf(header(2) + good.mid(13)), Error::newerFormat);
    EXPECT_EQ(errorOf(header(255)), Error::newerFormat);

    EXPECT_EQ(errorOf(QByteArray()), Error::notRateLibrary);
    EXPECT_EQ(errorOf("hello"), Error::notRateLibrary);
    EXPECT_EQ(errorOf("[1, 2]"), Error::notRateLibrary);
    EXPECT_EQ(errorOf("\x89PNG\r\n\x1a\n"), Error::notRateLibrary);

    EXPECT_EQ(errorOf("CORVANE"), Error::damaged);                  // cut inside the magic
    EXPECT_EQ(errorOf("CORVANERATES"), Error::damaged);             // no version
    EXPECT_EQ(errorOf(header(0) + good.mid(13)), Error::damaged);   // no such version
    EXPECT_EQ(errorOf(header(1)), Error::damaged);                  // no body
    EXPECT_EQ(errorOf(good.left(good.size() - 5)), Error::damaged); // cut short
    EXPECT_EQ(errorOf(good + "trailing"), Error::damaged);
    QByteArray flipped = good;
    flipped[20] = char(flipped[20] ^ 0x55);
    EXPECT_EQ(errorOf(flipped), Error::damaged);
    EXPECT_EQ(errorOf(RateLibraryFile::encode("not json")), Error::damaged);
    EXPECT_EQ(errorOf(RateLibraryFile::encode("[]")), Error::damaged);
    EXPECT_EQ(errorOf("{\"rows\": ["), Error::damaged);
    // Faults deep inside an object that starts well.
    for (const char *json : {R"({"a":[1,2,]})", R"({"a":tru})", R"({"a":01})", R"({"a":"\q"})",
                             R"({"a\u12":1})", R"({"a":1} {})", R"({"a":1}])", R"({"a":nul})"}) {
        SCOPED_TRACE(json);
        EXPECT_EQ(errorOf(json), Error::damaged);
        EXPECT_EQ(errorOf(RateLibraryFile::encode(json)), Error::damaged);
    }
    EXPECT_EQ(RateLibraryFile::decode(R"({"a":[{"b":null,"c":"\"\\\/\b\u00e9"},-1.5e3,true]} )").json,
              R"({"a":[{"b":null,"c":"\"\\\/\b\u00e9"},-1.5e3,true]} )");

    for (const Error error : {Error::newerFormat, Error::notRateLibrary, Error::damaged})
        EXPECT_FALSE(RateLibraryFile::errorMessage(error).isEmpty());
}

TEST(RateLibraryFile, NothingInflatesBeyondWhatAPlainFileMayHold)
{
    // A string of one letter just past 256 MiB, deflated a megabyte at a time: a few hundred kilobytes.
    const qsizetype letters = RateLibraryFile::maximumJsonBytes;
    z_stream stream{};
    ASSERT_EQ(deflateInit(&stream, Z_BEST_SPEED), Z_OK);
    QByteArray body;
    const auto feed = [&](const QByteArray &bytes, int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
        stream.avail_in = uInt(bytes.size());
        do {
            char out[64 * 1024];
            stream.next_out = reinterpret_cast<Bytef *>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            body.append(out, qsizetype(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    feed("{\"x\":\"", Z_NO_FLUSH);
    const QByteArray megabyte(1024 * 1024, 'a');
    for (qsizetype done = 0; done < letters; done += megabyte.size())
        feed(megabyte, Z_NO_FLUSH);
    feed("\"}", Z_FINISH);
    deflateEnd(&stream);
    ASSERT_LT(body.size(), 2 * 1024 * 1024);
    EXPECT_EQ(errorOf(header(1) + body), Error::damaged);
}

TEST(RateLibraryFile, ABombStopsAtTheCap)
{
    // 64 MB of one letter packs into a few dozen kilobytes.
    QByteArray bomb = "{\"x\":\"" + QByteArray(64 * 1024 * 1024, 'a') + "\"}";
    const QByteArray file = RateLibraryFile::encode(bomb);
    ASSERT_LT(file.size(), 200 * 1024);
    EXPECT_EQ(errorOf(file, 1024 * 1024), Error::damaged);
    EXPECT_EQ(RateLibraryFile::decode(file, bomb.size()).json, bomb); // exactly at the cap still reads
}

TEST(RateLibraryFile, NothingNestsDeeperThanTheOtherReadersAllow)
{
    // Where QJsonDocument stops, the reader stops: a file is refused as damaged exactly when
    // reading it whole would refuse it.
    const int deepest = JsonOutline::maximumDepth;
    for (const int depth : {deepest - 1, deepest, deepest + 1, 5000}) {
        SCOPED_TRACE(depth);
        const QByteArray json = nestedLibrary(depth);
        QJsonParseError error;
        QJsonDocument::fromJson(json, &error);
        const bool whole = error.error == QJsonParseError::NoError;
        EXPECT_EQ(whole, depth <= deepest) << "the readers' limit is QJsonDocument's";
        EXPECT_EQ(RateLibraryFile::isJsonObject(json), whole);
        EXPECT_EQ(errorOf(json), whole ? std::nullopt : std::optional(Error::damaged));
        EXPECT_EQ(errorOf(RateLibraryFile::encode(json)),
                  whole ? std::nullopt : std::optional(Error::damaged));
        // Objects nest as arrays do.
        QByteArray objects = "{}";
        for (int level = 1; level < depth; ++level)
            objects = "{\"a\":" + objects + "}";
        EXPECT_EQ(errorOf(objects), whole ? std::nullopt : std::optional(Error::damaged));
    }

    // Files made to exhaust the stack: a megabyte of brackets in plain JSON, and two million of
    // them packed into a few kilobytes; closed or left open.
    for (const qsizetype brackets : {qsizetype(1024 * 1024), qsizetype(2'000'000)}) {
        const QByteArray open = "{\"rows\":" + QByteArray(brackets, '[');
        EXPECT_EQ(errorOf(open), Error::damaged);
        EXPECT_EQ(errorOf(open + QByteArray(brackets, ']') + "}"), Error::damaged);
        const QByteArray packed = RateLibraryFile::encode(open);
        EXPECT_LE(packed.size(), 4096);
        EXPECT_EQ(errorOf(packed), Error::damaged);
    }
}

// Where readers of JSON part ways, decided: what a user's editor may leave in a plain file is
// read as QJsonDocument reads it; the packed JSON is the app's own and holds no byte order mark.
TEST(RateLibraryFile, ReadsTheEdgesOfJsonAsDecided)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    EXPECT_EQ(errorOf(RateLibraryFile::encode(bom + library)), Error::damaged);
    EXPECT_EQ(RateLibraryFile::decode(bom + library).json, library);
    // Half a surrogate pair and an escaped NUL are the companion's to judge; a repeated key too.
    for (const QByteArray &json : {QByteArray(R"({"rows":[{"id":"\ud800","title":"\udc00\u0000"}]})"),
                                   QByteArray(R"({"rows":[],"rows":[{"id":"1"}]})")}) {
        SCOPED_TRACE(json.toStdString());
        EXPECT_EQ(RateLibraryFile::decode(json).json, json);
        EXPECT_EQ(RateLibraryFile::decode(RateLibraryFile::encode(json)).json, json);
    }
    // An overlong or a surrogate's UTF-8, a raw NUL, a NUL after the object.
    for (const QByteArray &json :
         {QByteArray("{\"rows\":[{\"id\":\"\xC0\xAF\"}]}"),
          QByteArray("{\"rows\":[{\"id\":\"\xED\xA0\x80\"}]}"),
          QByteArray("{\"rows\":[{\"id\":\"a\0b\"}]}", 23), QByteArray("{\"rows\":[]}\0", 12)}) {
        SCOPED_TRACE(json.toBase64().toStdString());
        EXPECT_EQ(errorOf(json), Error::damaged);
        EXPECT_EQ(errorOf(RateLibraryFile::encode(json)), Error::damaged);
    }
}
