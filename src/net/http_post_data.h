// The body of a POST: its bytes and content type.
#pragma once
#include "net/net_names.h"

#include <cstddef>
#include <string>

namespace quill::net {

class HttpPostData {
public:
    static constexpr const char* kFormContentType = "application/x-www-form-urlencoded";

    // Copies the bytes; an empty content type means a url-encoded form.
    HttpPostData(const char* data, size_t length, const std::string& contentType = "");
    explicit HttpPostData(const std::string& body, const std::string& contentType = "");
    virtual ~HttpPostData() = default;

    // The bytes, followed by a terminating zero byte that Length() does not count.
    const char* Data() const { return bytes_.c_str(); }
    size_t Length() const { return bytes_.size(); }
    const std::string& ContentType() const { return contentType_; }
    // True when the content type is the url-encoded form, in any case.
    bool IsForm() const;

private:
    std::string bytes_;
    std::string contentType_;
};

}  // namespace quill::net
