#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quill::platform {

std::string LocalAppDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
    }
    if (!home || !*home) return {};
    return std::string(home) + "/.local/share";
}

std::string RuntimeFolder() {
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) return run;
    std::error_code ec;
    auto tmp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : tmp.string();
}

}  // namespace quill::platform
