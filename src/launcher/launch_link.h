// A "quillmark:" link carrying the launch values by name, as a browser hands it to the handler.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "launcher/launch_values.h"

namespace quill::launcher {

inline constexpr const char* kLinkScheme = "quillmark";
// Longer links are refused: far beyond any real review's values.
inline constexpr std::size_t kMaxLinkBytes = 16384;

// The outcome of reading a link: the values, or why the link was refused.
struct LaunchLinkResult {
    bool ok = false;
    std::string error;
    LaunchValues values;
    // Names the link carried that are not launch values; they are ignored.
    std::size_t ignoredNames = 0;
};

// Turns a decoded text value (UTF-8, as links carry it) into the client's code page.
using LinkTextConverter = std::function<std::string(const std::string& utf8)>;

// Reads "quillmark:[//anything][?]NAME=VALUE&NAME=VALUE..." (the scheme in any case, '#' ends
// the values). Values are percent-decoded; a malformed escape, a NUL, CR or LF, a name given
// twice, a number that is not a plain decimal 32-bit one, or any other scheme refuses the whole
// link. Unknown names are skipped; names not given stay empty or 0.
LaunchLinkResult ReadLaunchLink(const std::string& link, const LinkTextConverter& convert = {});

// Percent-decoding of one component; false on a malformed escape.
bool PercentDecodeComponent(const std::string& text, std::string& out);

}  // namespace quill::launcher
