// The byte form in which a comment travels through the server: three little-endian 32-bit
// lengths, then the content, popup and embedded-file texts.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string_view>

#include "sync/fdf/binary_content.h"
#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

inline constexpr size_t kCommentBlobHeaderSize = 12;

// Serialises content; absent parts count as length 0.
ByteBuffer MakeCommentBlob(const BinaryContent& content);

// Reads a blob back: content always, subContent and fileContent only when their length is
// not 0, each an owned copy. Throws BaseException (kBlobErrorCode) when the blob is shorter
// than its header or than its three lengths say; nothing is read beyond it. Bytes behind the
// three parts are ignored (logged), as peers expect; MakeCommentBlob never writes any.
std::unique_ptr<BinaryContent> BinaryContentFromBlob(std::string_view blob);

}  // namespace quill::sync
