// A byte array with a 32-bit length: owned (with a zero byte behind the data) or a view.
#pragma once
#include "sync/sync_names.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quill::sync {

// Owned buffers keep a zero byte behind their data so that text can be read as a C string;
// the length never counts it. A borrowed buffer points into bytes that someone else keeps
// alive (the file bytes of an FdfDocument) and becomes owned as soon as it is replaced.
class ByteBuffer {
public:
    static constexpr size_t kMaxLength = INT32_MAX;
    using Storage = std::unique_ptr<char[]>;

    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&&) noexcept = default;
    ByteBuffer& operator=(ByteBuffer&&) noexcept = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // An owned copy; throws BaseException when bytes exceed kMaxLength.
    static ByteBuffer Copy(std::string_view bytes);
    // An owned buffer of length zero bytes.
    static ByteBuffer Allocate(size_t length);
    // A view; the bytes must outlive the buffer.
    static ByteBuffer Borrow(std::string_view bytes);

    const char* data() const { return data_; }
    // Writable bytes; only for owned buffers.
    char* mutableData() { return owned_.get(); }
    int32_t length() const { return length_; }
    size_t size() const { return static_cast<size_t>(length_); }
    bool empty() const { return length_ == 0; }
    bool owned() const { return owned_ != nullptr || length_ == 0; }
    std::string_view view() const { return {data_, size()}; }
    std::string str() const { return std::string(view()); }

private:
    Storage owned_;
    const char* data_ = "";
    int32_t length_ = 0;
};

}  // namespace quill::sync
