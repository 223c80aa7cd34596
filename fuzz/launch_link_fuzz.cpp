// Fuzz target: "quillmark:" links as a browser hands them to quillstart, and the string built
// from what they carry, read back by the client.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/launch_params.h"
#include "launcher/launch_link.h"
#include "launcher/launch_string.h"

using namespace quill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string link(reinterpret_cast<const char*>(data), size);
    if (link.rfind("quillmark:", 0) != 0) link = "quillmark:?" + link;
    const launcher::LaunchLinkResult read = launcher::ReadLaunchLink(link);
    if (!read.ok) return 0;
    // A plain host name a link carries is the host the client reads: no other value can set it.
    const std::string& host = read.values.SERVER;
    if (host.empty() || host.find_first_not_of(
                            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
                            std::string::npos)
        return 0;
    app::LaunchParams params;
    app::ParseLaunchParams(launcher::FormatLaunchString(read.values), params);
    if (params.HOST != host) std::abort();
    return 0;
}
