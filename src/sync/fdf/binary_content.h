// The raw texts of one comment: its object, its popup and its embedded file.
#pragma once
#include "sync/sync_names.h"

#include <memory>

#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

struct BinaryContent {
    std::unique_ptr<ByteBuffer> content;      // the comment's raw object text, always present
    std::unique_ptr<ByteBuffer> subContent;   // its popup's raw text
    std::unique_ptr<ByteBuffer> fileContent;  // the raw text of its embedded-file object

    // A deep copy (records keep their own content).
    std::unique_ptr<BinaryContent> Clone() const;
};

}  // namespace quill::sync
