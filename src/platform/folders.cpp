#include "platform/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    // Without a runtime folder of its own the user gets a private folder in the temporary
    // folder. Another user could have made that name first (to hold our lock or read our
    // files): it is taken only when it is a real folder owned by this user, and then closed to
    // everybody else.
    std::error_code ec;
    auto tmp = std::filesystem::temp_directory_path(ec);
    const std::string base = ec ? std::string("/tmp") : tmp.string();
    const uid_t uid = getuid();
    const std::string folder = base + "/quillmark-" + std::to_string(uid);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid) return {};
    if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) return {};
    return folder;
}

}  // namespace quill::platform
