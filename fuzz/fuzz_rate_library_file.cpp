// Any bytes as a Rate Library file, as users download and share them. The reader must never
// crash, read outside the bytes, meet undefined behaviour or unpack past its cap, and must tell
// apart exactly what a plain reading tells apart: zlib's one-call inflate into a buffer one byte
// larger than the cap, and QJsonDocument for the JSON (held to the grammar where it is lenient,
// and to its own depth limit, which the reader shares).

#include "JsonOutline.h"
#include "NumbersReadersDisagreeOn.h"
#include "RateLibraryFile.h"

#include <QJsonDocument>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

using Error = RateLibraryFile::Error;

// Small enough to keep the runs quick, large enough that a few kilobytes of input cross it.
constexpr qsizetype cap = 1024 * 1024;

bool isJsonObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    return error.error == QJsonParseError::NoError && document.isObject() &&
           !JsonOutline::breaksTheGrammar(json);
}

// The body is a zlib stream when its first two bytes make a zlib header, else raw DEFLATE.
std::optional<QByteArray> inflated(const QByteArray &body)
{
    const bool wrapped = body.size() >= 2 && (quint8(body[0]) & 0x0f) == Z_DEFLATED &&
                         ((quint8(body[0]) << 8) | quint8(body[1])) % 31 == 0;
    z_stream stream{};
    if (inflateInit2(&stream, wrapped ? MAX_WBITS : -MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray output(cap + 1, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
    stream.avail_in = uInt(body.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data());
    stream.avail_out = uInt(output.size());
    const int status = ::inflate(&stream, Z_FINISH);
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0 && stream.total_out <= uLong(cap);
    output.resize(qsizetype(stream.total_out));
    inflateEnd(&stream);
    return whole ? std::optional(output) : std::nullopt;
}

// None when the JSON holds a number that the two JSON readers hold differently.
std::optional<RateLibraryFile::Decoded> referenceReading(const QByteArray &bytes)
{
    const auto checked = [](const QByteArray &json) -> std::optional<RateLibraryFile::Decoded> {
        if (holdsNumberReadersDisagreeOn(json))
            return std::nullopt;
        if (!isJsonObject(json))
            return RateLibraryFile::Decoded{std::nullopt, Error::damaged};
        return RateLibraryFile::Decoded{json, Error::damaged};
    };
    const QByteArray magic = "CORVANERATES";
    if (bytes.startsWith(magic)) {
        if (bytes.size() == magic.size())
            return RateLibraryFile::Decoded{std::nullopt, Error::damaged};
        const int version = quint8(bytes[magic.size()]);
        if (version != 1)
            return RateLibraryFile::Decoded{std::nullopt, version > 1 ? Error::newerFormat : Error::damaged};
        const std::optional<QByteArray> json = inflated(bytes.mid(magic.size() + 1));
        // The packed JSON is the app's own, sent on as it stands: QJsonDocument passes over a byte
        // order mark, which the app never writes there.
        if (!json || json->startsWith("\xEF\xBB\xBF"))
            return RateLibraryFile::Decoded{std::nullopt, Error::damaged};
        return checked(*json);
    }
    if (!bytes.isEmpty() && magic.startsWith(bytes))
        return RateLibraryFile::Decoded{std::nullopt, Error::damaged};
    // Plain JSON, after a byte order mark and blanks.
    QByteArray json = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    while (!json.isEmpty() && QByteArray(" \t\r\n").contains(json[0]))
        json.remove(0, 1);
    if (!json.startsWith('{'))
        return RateLibraryFile::Decoded{std::nullopt, Error::notRateLibrary};
    return checked(json);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of its own, so that AddressSanitizer sees any read past the end.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RateLibraryFile::Decoded read = RateLibraryFile::decode(bytes, cap);
    const std::optional<RateLibraryFile::Decoded> reading = referenceReading(bytes);
    if (!reading)
        return 0;
    const RateLibraryFile::Decoded &reference = *reading;
    if (read.json != reference.json || (!read.ok() && read.error != reference.error)) {
        std::cerr << "read " << (read.ok() ? "a library" : "an error " + std::to_string(int(read.error)))
                  << ", the reference "
                  << (reference.ok() ? "a library" : "an error " + std::to_string(int(reference.error)))
                  << (read.ok() && reference.ok() ? " of other bytes" : "") << ":\n"
                  << bytes.toBase64().left(4000).toStdString() << "\n";
        std::abort();
    }
    return 0;
}

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

// Mutating the bytes of a packed file mostly damages its DEFLATE stream, and the inflate is zlib's,
// out of the fuzzer's sight: half the time a packed file is unpacked, its JSON mutated (with the
// dictionary) and packed again, zlib-wrapped or raw, so that the JSON check behind the inflate
// sees as much as a plain file's.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed)
{
    const QByteArray head("CORVANERATES\x01", 13);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (seed % 2 == 0 && bytes.startsWith(head)) {
        std::optional<QByteArray> json = inflated(bytes.mid(head.size()));
        if (json && json->size() <= 64 * 1024) {
            const qsizetype length = json->size();
            json->resize(std::max<qsizetype>(2 * length, 4096));
            json->resize(qsizetype(LLVMFuzzerMutate(reinterpret_cast<uint8_t *>(json->data()), size_t(length),
                                                    size_t(json->size()))));
            const bool raw = (seed >> 1) % 4 == 0;
            z_stream stream{};
            deflateInit2(&stream, int((seed >> 3) % 10), Z_DEFLATED, raw ? -MAX_WBITS : MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY);
            QByteArray packed(qsizetype(deflateBound(&stream, uLong(json->size()))), Qt::Uninitialized);
            stream.next_in = reinterpret_cast<Bytef *>(json->data());
            stream.avail_in = uInt(json->size());
            stream.next_out = reinterpret_cast<Bytef *>(packed.data());
            stream.avail_out = uInt(packed.size());
            const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
            packed.resize(qsizetype(stream.total_out));
            deflateEnd(&stream);
            if (done && size_t(head.size() + packed.size()) <= maxSize) {
                std::memcpy(data, head.constData(), size_t(head.size()));
                std::memcpy(data + head.size(), packed.constData(), size_t(packed.size()));
                return size_t(head.size() + packed.size());
            }
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}
