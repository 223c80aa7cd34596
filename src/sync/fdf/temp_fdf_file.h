// Temporary FDF files of the synchronisation: unique names in the working folder, and their
// removal by the operation that made them.
#pragma once
#include "sync/sync_names.h"

#include <string>

namespace quill::sync {

// "<folder>/yyyymmddhhmmssmmmm.fdf" at the current local time; when a file of that name
// exists already (two files within one millisecond), "_1", "_2", ... is put before ".fdf".
// The file is not made here: creating it empty and letting the writer truncate it costs a
// synchronous flush on some file systems (ext4 writes a truncated file out when it is
// closed), which made every import several times slower.
std::string NewTempFdfPath(const std::string& folder);

// Deletes the file when it goes out of scope (unless released).
class TempFdfFile {
public:
    explicit TempFdfFile(std::string path) : path_(std::move(path)) {}
    ~TempFdfFile();
    TempFdfFile(const TempFdfFile&) = delete;
    TempFdfFile& operator=(const TempFdfFile&) = delete;

    const std::string& path() const { return path_; }
    std::string Release();

private:
    std::string path_;
};

}  // namespace quill::sync
