// Time stamps the review server writes: in the server's local time, always in the C locale.
#pragma once

#include <string>

namespace quillserver {

// "YYYYMMDDhhmmss", the digits-only form that clients compare as numbers.
std::string NowDigits();
// "YYYY-MM-DD hh:mm:ss", the creation date of a queue item.
std::string NowText();

}  // namespace quillserver
