#include "RateLibraryBytes.h"

#include <QJsonDocument>

#include <zlib.h>

namespace {

constexpr QByteArrayView magic("CORVANERATES");
constexpr int newestFormat = 1;
constexpr qsizetype inflatedLimit = 512 * 1024 * 1024;

// `windowBits` as zlib takes it: negative for raw DEFLATE, 15 + 32 for a zlib or gzip header.
std::optional<QByteArray> inflate(QByteArrayView in, int windowBits)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
    stream.avail_in = uInt(in.size());
    QByteArray out;
    int status = Z_OK;
    char buffer[64 * 1024];
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        status = ::inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        if (out.size() > inflatedLimit)
            status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

std::optional<QJsonObject> parseObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

} // namespace

RateLibraryBytes RateLibraryBytes::read(const QByteArray &bytes)
{
    RateLibraryBytes result;
    if (!bytes.startsWith(magic)) {
        if (auto object = parseObject(bytes))
            result.library = *object;
        else
            result.refusal = QStringLiteral("This file is not a Rate Library.");
        return result;
    }
    if (bytes.size() < magic.size() + 1) {
        result.refusal = QStringLiteral("This Rate Library file is damaged.");
        return result;
    }
    result.fileVersion = static_cast<unsigned char>(bytes.at(magic.size()));
    if (result.fileVersion > newestFormat) {
        result.refusal = QStringLiteral("This Rate Library file was made by a newer version.");
        return result;
    }
    const QByteArrayView packed = QByteArrayView(bytes).sliced(magic.size() + 1);
    std::optional<QByteArray> json = inflate(packed, -MAX_WBITS);
    if (!json)
        json = inflate(packed, MAX_WBITS + 32);
    if (!json && packed.size() > 4)
        json = inflate(packed.sliced(4), MAX_WBITS + 32);
    std::optional<QJsonObject> object = json ? parseObject(*json) : std::nullopt;
    if (!object)
        result.refusal = QStringLiteral("This Rate Library file is damaged.");
    else
        result.library = *object;
    return result;
}
