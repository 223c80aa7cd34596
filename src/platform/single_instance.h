// One running client per instance name: an exclusive lock on a file named after it.
#pragma once

#include <string>

namespace quill::platform {

class SingleInstanceLock {
public:
    enum class State {
        Acquired,       // this process holds the lock
        HeldElsewhere,  // another process holds it: that instance is running
        Failed,         // the lock file cannot be made or opened
    };

    // Lock file "<folder>/quillmark-<name>.lock"; folder defaults to RuntimeFolder(). An empty
    // runtime folder (none safe to use) makes every attempt fail.
    explicit SingleInstanceLock(const std::string& name, const std::string& folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // The kernel drops a lock when its holder dies, even by a crash. A lock held only for a
    // moment (a client that checks whether this instance still runs) is waited for briefly.
    State TryAcquire();
    // True when this process holds the lock.
    bool Acquire() { return TryAcquire() == State::Acquired; }
    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace quill::platform
