#include "RateLibraryFile.h"

#include "JsonOutline.h"
#include "Logging.h"

#include <QCoreApplication>

#include <simdjson.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <optional>

static_assert(RateLibraryFile::readPadding >= qsizetype(simdjson::SIMDJSON_PADDING));

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(RateLibrary)
};

// Every backslash of a JSON string (given from after its opening quote) starts a valid escape.
bool escapesAreValid(const char *text)
{
    for (const char *at = text;; ++at) {
        if (*at == '"')
            return true;
        if (*at != '\\')
            continue;
        ++at;
        if (*at == 'u') {
            for (int i = 1; i <= 4; ++i) {
                if (!std::isxdigit(static_cast<unsigned char>(at[i])))
                    return false;
            }
            at += 4;
        } else if (!std::strchr("\"\\/bfnrt", *at) || *at == '\0') {
            return false;
        }
    }
}

// Walks every value, so that any fault of the JSON grammar shows; the parser's index is the only
// memory it takes (no tree, no copies of the strings), well under the size of the text. `depth`
// counts the objects and arrays the value lies in, its own included (the root is 1): a shared file
// nested deeper than the other readers allow is refused before the walk runs out of stack.
simdjson::error_code walk(simdjson::ondemand::value value, int depth)
{
    using Type = simdjson::ondemand::json_type;
    Type type{};
    if (const auto error = value.type().get(type))
        return error;
    if ((type == Type::object || type == Type::array) && depth > JsonOutline::maximumDepth)
        return simdjson::DEPTH_ERROR;
    switch (type) {
    case Type::object: {
        simdjson::ondemand::object object;
        if (const auto error = value.get_object().get(object))
            return error;
        for (auto field : object) {
            simdjson::ondemand::raw_json_string key;
            if (const auto error = field.key().get(key))
                return error;
            if (!escapesAreValid(key.raw()))
                return simdjson::STRING_ERROR;
            simdjson::ondemand::value member;
            if (const auto error = field.value().get(member))
                return error;
            if (const auto error = walk(member, depth + 1))
                return error;
        }
        return simdjson::SUCCESS;
    }
    case Type::array: {
        simdjson::ondemand::array array;
        if (const auto error = value.get_array().get(array))
            return error;
        for (auto element : array) {
            simdjson::ondemand::value item;
            if (const auto error = element.get(item))
                return error;
            if (const auto error = walk(item, depth + 1))
                return error;
        }
        return simdjson::SUCCESS;
    }
    case Type::number: {
        simdjson::ondemand::number number;
        return value.get_number().get(number);
    }
    case Type::string: {
        simdjson::ondemand::raw_json_string text;
        if (const auto error = value.get_raw_json_string().get(text))
            return error;
        return escapesAreValid(text.raw()) ? simdjson::SUCCESS : simdjson::STRING_ERROR;
    }
    case Type::boolean: {
        bool flag = false;
        return value.get_bool().get(flag);
    }
    case Type::null: {
        bool isNull = false;
        if (const auto error = value.is_null().get(isNull))
            return error;
        return isNull ? simdjson::SUCCESS : simdjson::N_ATOM_ERROR;
    }
    }
    return simdjson::INCORRECT_TYPE;
}

} // namespace

bool RateLibraryFile::isJsonObject(const QByteArray &json)
{
    const auto size = std::size_t(json.size());
    std::optional<simdjson::padded_string> copy;
    simdjson::padded_string_view text;
    if (std::size_t(json.capacity()) >= size + simdjson::SIMDJSON_PADDING) {
        text = simdjson::padded_string_view(json.constData(), size, std::size_t(json.capacity()));
    } else {
        copy.emplace(json.constData(), size);
        text = simdjson::padded_string_view(*copy);
    }
    simdjson::ondemand::parser parser;
    simdjson::ondemand::document document;
    if (parser.iterate(text).get(document))
        return false;
    simdjson::ondemand::value root;
    simdjson::ondemand::json_type type{};
    if (document.get_value().get(root) || root.type().get(type) ||
        type != simdjson::ondemand::json_type::object)
        return false;
    // Past the root's end the iterator reports no location; anything there is trailing text.
    return walk(root, 1) == simdjson::SUCCESS &&
           document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

namespace {

// Inflates a zlib stream, or a raw DEFLATE stream as other zlib writers leave it, growing the
// output as it goes and giving up past `limit` bytes. None when the stream is damaged, cut
// short, followed by stray bytes or too large, or when `cancelled` turns true.
std::optional<QByteArray> inflate(QByteArrayView input, qsizetype limit, const std::atomic<bool> *cancelled)
{
    const auto byte = [&input](int i) { return quint8(input.at(i)); };
    const bool wrapped =
        input.size() >= 2 && (byte(0) & 0x0f) == Z_DEFLATED && ((byte(0) << 8) | byte(1)) % 31 == 0;

    z_stream stream{};
    if (inflateInit2(&stream, wrapped ? MAX_WBITS : -MAX_WBITS) != Z_OK)
        return std::nullopt;
    // Each size is reserved with the JSON reader's padding behind it, so that the reader checks
    // the text in place, and a large array grows without a copy (the allocator remaps it).
    QByteArray output;
    const auto grow = [&output](qsizetype size) {
        output.reserve(size + RateLibraryFile::readPadding);
        output.resize(size);
    };
    grow(std::min(limit, std::max<qsizetype>(64 * 1024, input.size() * 4)));
    qsizetype consumed = 0;
    qsizetype produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == output.size()) {
            if (output.size() >= limit)
                break;
            grow(std::min(limit, output.size() * 2));
        }
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            inflateEnd(&stream);
            return std::nullopt;
        }
        // zlib counts in 32 bits; feed it in slices, small enough to notice a cancellation soon.
        constexpr qsizetype slice = qsizetype(16) << 20;
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

RateLibraryFile::Decoded RateLibraryFile::decode(const QByteArray &fileBytes, qsizetype maximumJson,
                                                 const std::atomic<bool> *cancelled)
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
        std::optional<QByteArray> json =
            inflate(QByteArrayView(fileBytes).sliced(magicBytes + 1), maximumJson, cancelled);
        if (!json || !isJsonObject(*json))
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
    // From the first byte the array is shared, not copied.
    const QByteArray json = fileBytes.mid(start);
    if (!isJsonObject(json))
        return {std::nullopt, Error::damaged};
    return {json, Error::damaged};
}
