// Escaping of text values placed into review request queries.
#pragma once

#include <string>
#include <string_view>

// Every byte other than an ASCII letter or digit becomes "%" and two upper-case
// hexadecimal digits; a blank becomes "%20", never "+".
std::string PercentEncode(std::string_view bytes);

// System code page text to UTF-8, then PercentEncode. The whole text is encoded,
// however long.
std::string EncodeQueryText(const std::string& ansi);
