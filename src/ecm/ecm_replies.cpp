#include "ecm/ecm_replies.h"
#include "ecm/ecm_names.h"

namespace quill::ecm {

namespace {

constexpr size_t kTokenLength = 32;

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsIdentifierChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '_' || c == '-';
}

}  // namespace

bool ReadSessionToken(std::string_view reply, std::string& token) {
    token.clear();
    std::string_view text = Trim(reply);
    if (text.size() != kTokenLength) return false;
    for (char c : text)
        if (!IsHexDigit(c)) return false;
    token.assign(text);
    return true;
}

bool IsSafeIdentifier(std::string_view identifier) {
    if (identifier.empty() || identifier.size() > kMaxIdentifierBytes) return false;
    for (char c : identifier)
        if (!IsIdentifierChar(c)) return false;
    return true;
}

bool ReadContentIdentifier(std::string_view reply, std::string& identifier) {
    identifier.clear();
    std::string_view text = Trim(reply);
    if (!IsSafeIdentifier(text)) return false;
    identifier.assign(text);
    return true;
}

}  // namespace quill::ecm
