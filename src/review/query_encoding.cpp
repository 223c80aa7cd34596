#include "review/query_encoding.h"

#include "platform/code_page.h"

std::string EncodeQueryText(const std::string& ansi) {
    return PercentEncode(platform::AnsiToUtf8(ansi));
}
