#include "review/query_encoding.h"
#include "review/review_names.h"

#include "platform/code_page.h"

namespace quill::review {

std::string EncodeQueryText(const std::string& ansi) {
    return PercentEncode(platform::AnsiToUtf8(ansi));
}

}  // namespace quill::review
