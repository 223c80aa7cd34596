#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folders.h"

namespace quill::platform {

namespace {
std::string LockPath(const std::string& name, const std::string& folder) {
    const std::string where = folder.empty() ? RuntimeFolder() : folder;
    if (where.empty()) return {};
    return where + "/quillmark-" + name + ".lock";
}
}  // namespace

SingleInstanceLock::SingleInstanceLock(const std::string& name, const std::string& folder)
    : path_(LockPath(name, folder)) {}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) close(fd_);
}

SingleInstanceLock::State SingleInstanceLock::TryAcquire() {
    if (fd_ >= 0) return State::Acquired;
    if (path_.empty()) return State::Failed;
    int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return State::Failed;
    // A starting client holds the lock of a finished client's folder for the moment it takes
    // to move that folder away; a few short waits keep that from reading as a running client.
    for (int attempt = 0;; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return State::Acquired;
        }
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK || attempt >= 4) {
            close(fd);
            return error == EWOULDBLOCK ? State::HeldElsewhere : State::Failed;
        }
        usleep(20 * 1000);
    }
}

}  // namespace quill::platform
