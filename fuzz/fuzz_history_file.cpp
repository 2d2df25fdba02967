// Any bytes as the playback history file. Reading it span by span must never crash, read outside
// the bytes or meet undefined behaviour, and must accept, refuse and read exactly as
// QJsonDocument reading the whole file does.

#include "PlaybackHistory.h"
#include "WholeDocumentReading.h"

#include <cstdlib>
#include <iostream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of its own, so that AddressSanitizer sees any read past the end.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const PlaybackHistory::FileContents read = PlaybackHistory::readFileContents(bytes);
    if (read != wholeDocumentReading(bytes)) {
        std::cerr << "read otherwise than the whole document reads it:\n"
                  << bytes.left(2000).toStdString() << "\n";
        std::abort();
    }
    return 0;
}
