// Feeds arbitrary bytes through every reader of request bytes in the review server: form bodies,
// percent escapes, numbers, comment blobs and fault rules.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/percent_encoding.h"
#include "server/comment_blob.h"
#include "server/fault_injector.h"
#include "server/request_params.h"

using namespace quill;
using namespace quill::codec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    auto form = quillserver::ParseForm(bytes);
    std::string object = quillserver::PercentDecode(form.Get("object"));
    quillserver::CommentBlobParts parts;
    quillserver::SplitCommentBlob(object, parts);
    quillserver::SplitCommentBlob(bytes, parts);
    int value = 0;
    quillserver::ParseInt32(bytes, value);
    try {
        form.OptionalInt("pageNo", -1);
        form.Need("docId");
    } catch (const quillserver::BadRequest&) {
    }
    quillserver::FaultRule rule;
    std::string error;
    quillserver::FaultInjector::ParseRule(bytes, rule, error);
    if (quillserver::PercentDecode(PercentEncode(bytes)) != bytes) __builtin_trap();
    return 0;
}
