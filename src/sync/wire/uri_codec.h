// The byte encoding of comment content in queue items.
#pragma once
#include "sync/sync_names.h"

#include <string>
#include <string_view>

#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

// Every byte that is no ASCII letter or digit as "%" and two upper-case hex digits.
std::string UriEncodeForByteArray(const char* bytes, size_t length);
inline std::string UriEncodeForByteArray(std::string_view bytes) {
    return UriEncodeForByteArray(bytes.data(), bytes.size());
}

// "%" and two hex digits (either case) become one byte, "+" a blank; a "%" without two hex
// digits behind it stays. The result has exactly the decoded length (with a zero behind).
ByteBuffer UriDecode2ByteArray(std::string_view text);

}  // namespace quill::sync
