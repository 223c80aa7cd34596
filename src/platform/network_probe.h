// Whether the network is reachable: a real connection attempt with a short timeout.
#pragma once

#include <string>

namespace quill::platform {

// The address the installation names for the probe: $QUILLMARK_PROBE_URL, else the registry
// value PROBE_URL; empty when neither is set (the caller then probes its review server).
std::string ProbeAddress();
// Connects over TCP to the host and port of url ("http://host[:port]/...").
bool ProbeConnection(const std::string& url, int timeoutMs = 3000);

}  // namespace quill::platform
