#include "review/query_encoding.h"
#include "review/review_names.h"

#include "platform/code_page.h"

namespace quill::review {

std::string EncodeQueryText(const std::string& ansi) {
    return PercentEncode(platform::AnsiToUtf8(ansi));
}

std::string EscapeQueryValue(const std::string& value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        const bool safe = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                          (b >= '0' && b <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (safe) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

}  // namespace quill::review
