#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/folders.h"

namespace quill::platform {

SingleInstanceLock::SingleInstanceLock(const std::string& name, const std::string& folder)
    : path_((folder.empty() ? RuntimeFolder() : folder) + "/quillmark-" + name + ".lock") {}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) close(fd_);
}

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace quill::platform
