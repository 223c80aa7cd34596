// Fuzz target: the FDF splitter and relater on arbitrary bytes, then writing back what it
// found and carrying each comment through its blob.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "sync/base_exception.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/fdf/fdf_writer.h"
#include "sync/wire/comment_blob.h"

using namespace quill;
using namespace quill::sync;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FdfDocument doc;
    try {
        ParseFdfBytes(std::string_view(reinterpret_cast<const char*>(data), size), doc);
    } catch (const BaseException&) {
        if (!doc.objects.empty() || !doc.objectsByName.empty()) std::abort();
        return 0;
    }
    std::vector<CFDFContent*> named;
    for (const auto& [name, object] : doc.objectsByName) {
        auto content = object->CreateBinaryContent();
        ByteBuffer blob = MakeCommentBlob(*content);
        auto back = BinaryContentFromBlob(blob.view());
        if (back->content->view() != content->content->view()) std::abort();
        named.push_back(object);
    }
    fdf::RestoredFdfBytes(named);
    return 0;
}
