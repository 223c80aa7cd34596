#include "sync/fdf/byte_mass.h"
#include "sync/sync_names.h"

#include <cstring>

#include "sync/log_step.h"

namespace quill::sync {

namespace fdf {

bool _replaceByteMass(ByteBuffer& buffer, std::string_view prefix, std::string_view suffix,
                      const char* replacement, size_t replacementLength) {
    LogStep step("_replaceByteMass");
    std::string_view text = buffer.view();
    if (prefix.empty() || suffix.empty()) return false;
    const size_t p = text.find(prefix);
    if (p == std::string_view::npos) return false;
    const size_t from = p + prefix.size();
    const size_t to = text.find(suffix, from);
    if (to == std::string_view::npos) return false;
    const size_t newLength = text.size() - (to - from) + replacementLength;
    ByteBuffer result = ByteBuffer::Allocate(newLength);
    char* out = result.mutableData();
    std::memcpy(out, text.data(), from);
    if (replacementLength) std::memcpy(out + from, replacement, replacementLength);
    std::memcpy(out + from + replacementLength, text.data() + to, text.size() - to);
    buffer = std::move(result);
    return true;
}

}  // namespace fdf

}  // namespace quill::sync
