// Whether the network is reachable: a real connection attempt with a short timeout.
#pragma once

#include <string>

namespace quill::platform {

// The address probed: $QUILLMARK_PROBE_URL, else a fixed public web address.
std::string ProbeAddress();
// Connects over TCP to the host and port of url ("http://host[:port]/...").
bool ProbeConnection(const std::string& url, int timeoutMs = 3000);

}  // namespace quill::platform
