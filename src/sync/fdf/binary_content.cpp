#include "sync/fdf/binary_content.h"
#include "sync/sync_names.h"

namespace quill::sync {

namespace {

std::unique_ptr<ByteBuffer> CopyOf(const ByteBuffer* b) {
    return b ? std::make_unique<ByteBuffer>(ByteBuffer::Copy(b->view())) : nullptr;
}

}  // namespace

std::unique_ptr<BinaryContent> BinaryContent::Clone() const {
    auto copy = std::make_unique<BinaryContent>();
    copy->content = CopyOf(content.get());
    copy->subContent = CopyOf(subContent.get());
    copy->fileContent = CopyOf(fileContent.get());
    return copy;
}

}  // namespace quill::sync
