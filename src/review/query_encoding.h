// Escaping of text values placed into review request queries.
#pragma once

#include <string>

#include "codec/percent_encoding.h"

// System code page text to UTF-8, then PercentEncode. The whole text is encoded,
// however long.
std::string EncodeQueryText(const std::string& ansi);
