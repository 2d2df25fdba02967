// Any bytes as the line a later launch hands to the running app over the local socket. The
// reader must never crash or meet undefined behaviour, and must take exactly the requests that a
// reading with another JSON parser (simdjson's DOM) finds in the line: one object whose "open" is
// absent or a list of texts and whose "document" is absent or an absolute path, no text holding a
// NUL and no key or text anywhere starting with U+FEFF (no launch writes either); other members
// do not count, and of two equal keys the last one does. (QJsonDocument, which the reader uses,
// is held to the grammar where it is lenient, and refuses a byte order mark and half a surrogate
// pair as simdjson does.)

#include "LaunchRequest.h"
#include "NumbersReadersDisagreeOn.h"

#include <simdjson.h>

#include <cstdlib>
#include <iostream>
#include <string_view>

namespace {

// Whether a key or a text anywhere in `element` starts with U+FEFF, which no launch writes (the
// reader refuses it: QJsonDocument keeps it in some strings and drops it from others). The DOM
// nests no deeper than its 1024 levels.
bool startsATextWithBom(const simdjson::dom::element &element)
{
    const auto bom = [](std::string_view text) { return text.starts_with("\xEF\xBB\xBF"); };
    switch (element.type()) {
    case simdjson::dom::element_type::STRING:
        return bom(std::string_view(element));
    case simdjson::dom::element_type::ARRAY:
        for (const simdjson::dom::element item : simdjson::dom::array(element)) {
            if (startsATextWithBom(item))
                return true;
        }
        return false;
    case simdjson::dom::element_type::OBJECT:
        for (const auto field : simdjson::dom::object(element)) {
            if (bom(field.key) || startsATextWithBom(field.value))
                return true;
        }
        return false;
    default:
        return false;
    }
}

std::optional<LaunchRequest> referenceReading(const QByteArray &line)
{
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    simdjson::dom::object object;
    if (parser.parse(line.constData(), std::size_t(line.size())).get(root) || root.get(object) ||
        startsATextWithBom(root))
        return std::nullopt;
    std::optional<simdjson::dom::element> open, document;
    for (const auto field : object) {
        if (field.key == "open")
            open = field.value;
        else if (field.key == "document")
            document = field.value;
    }
    LaunchRequest request;
    if (open) {
        simdjson::dom::array ids;
        if (open->get(ids))
            return std::nullopt;
        for (const simdjson::dom::element id : ids) {
            std::string_view text;
            if (id.get(text) || text.find('\0') != std::string_view::npos)
                return std::nullopt;
            request.windowIds.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
        }
    }
    if (document) {
        std::string_view path;
        if (document->get(path) || !path.starts_with('/') || path.find('\0') != std::string_view::npos)
            return std::nullopt;
        request.document = QString::fromUtf8(path.data(), qsizetype(path.size()));
    }
    return request;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of its own, so that AddressSanitizer sees any read past the end.
    const QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<LaunchRequest> read = LaunchRequest::decoded(line);
    if (holdsNumberReadersDisagreeOn(line))
        return 0;
    const std::optional<LaunchRequest> reference = referenceReading(line);
    if (read != reference) {
        std::cerr << "read " << (read ? "a request" : "nothing") << ", the reference "
                  << (reference ? "a request" : "nothing") << (read && reference ? " of its own" : "")
                  << ":\n"
                  << line.left(2000).toStdString() << "\n";
        std::abort();
    }
    return 0;
}
