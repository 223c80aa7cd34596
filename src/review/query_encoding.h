// Escaping of text values placed into review request queries.
#pragma once
#include "review/review_names.h"

#include <string>

#include "codec/percent_encoding.h"

namespace quill::review {

// System code page text to UTF-8, then PercentEncode. The whole text is encoded,
// however long.
std::string EncodeQueryText(const std::string& ansi);

}  // namespace quill::review
