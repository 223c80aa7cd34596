// One running client per instance name: an exclusive lock on a file named after it.
#pragma once

#include <string>

namespace quill::platform {

class SingleInstanceLock {
public:
    // Lock file "<folder>/quillmark-<name>.lock"; folder defaults to RuntimeFolder().
    explicit SingleInstanceLock(const std::string& name, const std::string& folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process holds the lock; false when another process holds it
    // (the kernel drops a lock when its holder dies, even by a crash).
    bool Acquire();
    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace quill::platform
