// Fuzz target: decoding queue item text; decoded bytes must survive encoding and decoding.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sync/wire/uri_codec.h"

using namespace quill;
using namespace quill::sync;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ByteBuffer decoded = UriDecode2ByteArray(text);
    if (decoded.size() > text.size() || decoded.data()[decoded.size()] != '\0') std::abort();
    const std::string encoded = UriEncodeForByteArray(decoded.view());
    if (UriDecode2ByteArray(encoded).view() != decoded.view()) std::abort();
    return 0;
}
