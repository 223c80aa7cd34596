// Fuzz target: reading a comment blob from arbitrary bytes; what is accepted must be
// written back to the same bytes, less any bytes behind the three parts (which are ignored).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sync/base_exception.h"
#include "sync/wire/comment_blob.h"

using namespace quill;
using namespace quill::sync;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view blob(reinterpret_cast<const char*>(data), size);
    try {
        auto content = BinaryContentFromBlob(blob);
        const ByteBuffer written = MakeCommentBlob(*content);
        if (written.view() != blob.substr(0, written.size())) std::abort();
    } catch (const BaseException&) {
    }
    return 0;
}
