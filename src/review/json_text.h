// Reading a server's JSON text into a value tree without ever throwing.
#pragma once
#include "review/review_names.h"

#include <json/value.h>

#include <string>
#include <string_view>

namespace quill::review {

// Parses text into root. False, with jsoncpp's formatted messages in errors, when the text is no
// JSON or is nested deeper than any reply of ours (jsoncpp throws there; this never does).
bool ParseJsonText(std::string_view text, Json::Value& root, std::string& errors);

}  // namespace quill::review
