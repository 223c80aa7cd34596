#include "sync/fdf/byte_buffer.h"
#include "sync/sync_names.h"

#include <cstring>

#include "sync/base_exception.h"

namespace quill::sync {

namespace {

ByteBuffer::Storage Uninitialised(size_t length) {
    if (length > ByteBuffer::kMaxLength) {
        throw BaseException("The data is too large.", kBlobErrorCode);
    }
    auto storage = std::make_unique_for_overwrite<char[]>(length + 1);
    storage[length] = '\0';
    return storage;
}

}  // namespace

ByteBuffer ByteBuffer::Allocate(size_t length) {
    ByteBuffer b;
    b.owned_ = Uninitialised(length);
    std::memset(b.owned_.get(), 0, length);
    b.data_ = b.owned_.get();
    b.length_ = static_cast<int32_t>(length);
    return b;
}

ByteBuffer ByteBuffer::Copy(std::string_view bytes) {
    ByteBuffer b;
    b.owned_ = Uninitialised(bytes.size());
    if (!bytes.empty()) std::memcpy(b.owned_.get(), bytes.data(), bytes.size());
    b.data_ = b.owned_.get();
    b.length_ = static_cast<int32_t>(bytes.size());
    return b;
}

ByteBuffer ByteBuffer::Borrow(std::string_view bytes) {
    if (bytes.size() > kMaxLength) throw BaseException("The data is too large.", kBlobErrorCode);
    ByteBuffer b;
    b.data_ = bytes.empty() ? "" : bytes.data();
    b.length_ = static_cast<int32_t>(bytes.size());
    return b;
}

}  // namespace quill::sync
