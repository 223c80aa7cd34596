// The one escaping rule of every query and form value sent to the review server.
#pragma once

#include <string>
#include <string_view>

namespace quill::codec {

// Every byte other than an ASCII letter or digit becomes "%" and two upper-case
// hexadecimal digits; a blank becomes "%20", never "+".
std::string PercentEncode(std::string_view bytes);

}  // namespace quill::codec
