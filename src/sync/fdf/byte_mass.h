// Replacing the bytes between two markers of a raw object text.
#pragma once
#include "sync/sync_names.h"

#include <string_view>

#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

namespace fdf {

// Replaces, in buffer, the bytes between the end of the first occurrence of prefix and the
// next occurrence of suffix behind it with replacement (a new owned buffer). Returns false,
// leaving buffer unchanged, when either marker is missing.
bool _replaceByteMass(ByteBuffer& buffer, std::string_view prefix, std::string_view suffix,
                      const char* replacement, size_t replacementLength);

inline bool _replaceByteMass(ByteBuffer& buffer, std::string_view prefix, std::string_view suffix,
                             std::string_view replacement) {
    return _replaceByteMass(buffer, prefix, suffix, replacement.data(), replacement.size());
}

}  // namespace fdf

}  // namespace quill::sync
