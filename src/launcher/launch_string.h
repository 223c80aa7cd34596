// The client's parameter string built from a set of launch values.
#pragma once

#include <functional>
#include <string>

#include "launcher/launch_values.h"

namespace quill::launcher {

// Told when a value had to be changed to keep the string's keys intact.
using LaunchLog = std::function<void(const std::string& message)>;

// What stands in for '&' in a value: the client splits at '&' and keeps the later of two equal
// keys, so a value could otherwise set another key (a document name "X&HOST=evil").
inline constexpr char kAmpersandStandIn = '+';

// The value as it goes into the string: cut at a NUL (the string is a C string on the way to the
// client) and with every '&' replaced. changed tells whether anything was altered.
std::string LaunchStringValue(const std::string& value, bool& changed);

// "HOST=...&PORT=...&...&APPR=..." with all 28 keys in the client's order.
std::string FormatLaunchString(const LaunchValues& values, const LaunchLog& log = {});

}  // namespace quill::launcher
