#include "RateLibraryFile.h"

#include "Logging.h"

#include <QCoreApplication>

#include <simdjson.h>
#include <zlib.h>

#include <algorithm>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(RateLibrary)
};

enum class JsonShape { object, other, invalid };

JsonShape shapeOf(const char *data, qsizetype size)
{
    simdjson::dom::parser parser;
    const simdjson::padded_string padded(data, size_t(size));
    simdjson::dom::element root;
    if (parser.parse(padded).get(root) != simdjson::SUCCESS)
        return JsonShape::invalid;
    return root.is_object() ? JsonShape::object : JsonShape::other;
}

// Inflates a zlib stream, or a raw DEFLATE stream as other zlib writers leave it, growing the
// output as it goes and giving up past `limit` bytes. None when the stream is damaged, cut
// short, followed by stray bytes or too large.
std::optional<QByteArray> inflate(const QByteArray &input, qsizetype limit)
{
    const auto byte = [&input](int i) { return quint8(input.at(i)); };
    const bool wrapped =
        input.size() >= 2 && (byte(0) & 0x0f) == Z_DEFLATED && ((byte(0) << 8) | byte(1)) % 31 == 0;

    z_stream stream{};
    if (inflateInit2(&stream, wrapped ? MAX_WBITS : -MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray output;
    output.resize(std::min(limit, std::max<qsizetype>(64 * 1024, input.size() * 4)));
    qsizetype consumed = 0;
    qsizetype produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == output.size()) {
            if (output.size() >= limit)
                break;
            output.resize(std::min(limit, output.size() * 2));
        }
        // zlib counts in 32 bits; feed it in slices.
        constexpr qsizetype slice = qsizetype(1) << 30;
        const qsizetype inSlice = std::min(slice, input.size() - consumed);
        const qsizetype outSlice = std::min(slice, output.size() - produced);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.constData() + consumed));
        stream.avail_in = uInt(inSlice);
        stream.next_out = reinterpret_cast<Bytef *>(output.data() + produced);
        stream.avail_out = uInt(outSlice);
        status = ::inflate(&stream, Z_NO_FLUSH);
        consumed += inSlice - qsizetype(stream.avail_in);
        produced += outSlice - qsizetype(stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out == 0)
            status = Z_OK; // only the output was full
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || consumed != input.size())
        return std::nullopt;
    output.resize(produced);
    return output;
}

} // namespace

QString RateLibraryFile::errorMessage(Error error)
{
    switch (error) {
    case Error::newerFormat:
        //: Opening a Rate Library file that a newer version of the app wrote.
        return Tr::tr("This Rate Library file was made by a newer version of Corvane Zuvaradi. Update the "
                      "app to open it.");
    case Error::notRateLibrary:
        //: Opening a file that is not a Rate Library file at all.
        return Tr::tr("This file is not a Rate Library file.");
    case Error::damaged:
        //: Opening a Rate Library file whose contents cannot be read.
        return Tr::tr("This Rate Library file is damaged and cannot be read.");
    }
    return {};
}

QByteArray RateLibraryFile::encode(const QByteArray &json)
{
    uLongf size = compressBound(uLong(json.size()));
    QByteArray compressed(qsizetype(size), Qt::Uninitialized);
    const int status =
        compress2(reinterpret_cast<Bytef *>(compressed.data()), &size,
                  reinterpret_cast<const Bytef *>(json.constData()), uLong(json.size()), Z_BEST_COMPRESSION);
    if (status != Z_OK) {
        qCWarning(lcSwitcher) << "cannot compress the Rate Library:" << status;
        return {};
    }
    compressed.resize(qsizetype(size));
    QByteArray file;
    file.reserve(magicBytes + 1 + compressed.size());
    file.append(magic, magicBytes);
    file.append(char(formatVersion));
    file.append(compressed);
    return file;
}

RateLibraryFile::Decoded RateLibraryFile::decode(const QByteArray &fileBytes, qsizetype maximumJson)
{
    const QByteArray head(magic, magicBytes);
    if (fileBytes.startsWith(head)) {
        if (fileBytes.size() == magicBytes)
            return {std::nullopt, Error::damaged};
        const quint8 version = quint8(fileBytes.at(magicBytes));
        if (version > formatVersion)
            return {std::nullopt, Error::newerFormat};
        if (version < formatVersion)
            return {std::nullopt, Error::damaged};
        std::optional<QByteArray> json = inflate(fileBytes.mid(magicBytes + 1), maximumJson);
        if (!json || shapeOf(json->constData(), json->size()) != JsonShape::object)
            return {std::nullopt, Error::damaged};
        return {std::move(json), Error::damaged};
    }
    // A file cut off inside the magic is one of ours, damaged.
    if (!fileBytes.isEmpty() && head.startsWith(fileBytes))
        return {std::nullopt, Error::damaged};

    qsizetype start = fileBytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < fileBytes.size() && QByteArrayView(" \t\r\n").contains(fileBytes.at(start)))
        ++start;
    if (start == fileBytes.size() || fileBytes.at(start) != '{')
        return {std::nullopt, Error::notRateLibrary};
    const QByteArray json = fileBytes.mid(start);
    switch (shapeOf(json.constData(), json.size())) {
    case JsonShape::object:
        return {json, Error::damaged};
    case JsonShape::other:
        return {std::nullopt, Error::notRateLibrary};
    case JsonShape::invalid:
        break;
    }
    return {std::nullopt, Error::damaged};
}
