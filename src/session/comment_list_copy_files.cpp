#include "session/comment_list_copy_files.h"
#include "session/session_names.h"

#include <filesystem>
#include <system_error>

namespace quill::session {

namespace {
bool IsFdfName(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'f' && (tail[2] | 0x20) == 'd' &&
           (tail[3] | 0x20) == 'f';
}
}  // namespace

int DeleteCopyFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    // An empty name would be the process's current folder, not ours.
    if (folder.empty()) return 0;
    std::error_code ec;
    const fs::path root(folder);
    const fs::file_status status = fs::symlink_status(root, ec);
    if (ec || !fs::is_directory(status)) return 0;
    int deleted = 0;
    fs::directory_iterator it(root, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        const fs::file_status entry = it->symlink_status(entryError);
        if (entryError || !fs::is_regular_file(entry)) continue;
        if (!IsFdfName(it->path().filename().string())) continue;
        if (fs::remove(it->path(), entryError) && !entryError) ++deleted;
    }
    return deleted;
}

}  // namespace quill::session
