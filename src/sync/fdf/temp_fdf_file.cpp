#include "sync/fdf/temp_fdf_file.h"
#include "sync/sync_names.h"

#include <unistd.h>

#include <cstdio>

#include "app/app_folders.h"

namespace quill::sync {

std::string NewTempFdfPath(const std::string& folder) {
    const std::string stamped = TimestampedFileName(folder, ".fdf");
    const std::string stem = stamped.substr(0, stamped.size() - 4);
    for (int n = 0; n < 10000; ++n) {
        std::string path = n == 0 ? stamped : stem + "_" + std::to_string(n) + ".fdf";
        if (::access(path.c_str(), F_OK) != 0) return path;
    }
    // The folder is unusable; the caller's write reports it.
    return stamped;
}

TempFdfFile::~TempFdfFile() {
    if (!path_.empty()) std::remove(path_.c_str());
}

std::string TempFdfFile::Release() {
    std::string path = std::move(path_);
    path_.clear();
    return path;
}

}  // namespace quill::sync
