// Escaping of text values placed into review request queries.
#pragma once
#include "review/review_names.h"

#include <string>

#include "codec/percent_encoding.h"

namespace quill::review {

// System code page text to UTF-8, then PercentEncode. The whole text is encoded,
// however long.
std::string EncodeQueryText(const std::string& ansi);

// A plain value (an id, a user, a code) made safe for a query: every byte but an ASCII letter,
// digit, "-", ".", "_" or "~" becomes "%" and two upper-case hex digits, so an "&", "=" or "#"
// inside it can never add or cut parameters; a value of safe bytes goes out unchanged.
std::string EscapeQueryValue(const std::string& value);

}  // namespace quill::review
