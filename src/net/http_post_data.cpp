#include "net/http_post_data.h"
#include "net/net_names.h"

#include <strings.h>

namespace quill::net {

HttpPostData::HttpPostData(const char* data, size_t length, const std::string& contentType)
    : bytes_(data ? std::string(data, length) : std::string()),
      contentType_(contentType.empty() ? kFormContentType : contentType) {}

HttpPostData::HttpPostData(const std::string& body, const std::string& contentType)
    : HttpPostData(body.data(), body.size(), contentType) {}

bool HttpPostData::IsForm() const {
    return strcasecmp(contentType_.c_str(), kFormContentType) == 0;
}

}  // namespace quill::net
