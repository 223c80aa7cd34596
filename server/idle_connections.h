// Kept-alive connections waiting for their next request, watched by one thread instead of each
// holding a worker: a connection that becomes readable is handed back to the workers, one idle
// longer than the limit is closed.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace quillserver {

class IdleConnections {
public:
    // wake(fd, requestsLeft) takes over a connection that has a request (or its end) to read.
    using Wake = std::function<void(int fd, size_t requestsLeft)>;

    IdleConnections(std::chrono::milliseconds idleLimit, Wake wake);
    ~IdleConnections();
    IdleConnections(const IdleConnections&) = delete;
    IdleConnections& operator=(const IdleConnections&) = delete;

    // Takes over fd until it is readable or idle too long; false once closed (the caller keeps
    // fd and closes it).
    bool Park(int fd, size_t requestsLeft);
    // Closes every parked connection and stops watching; no wake runs after it returns.
    void Close();
    size_t Parked() const;

private:
    struct Entry {
        size_t requestsLeft;
        std::chrono::steady_clock::time_point since;
    };
    void Watch();

    const std::chrono::milliseconds idleLimit_;
    const Wake wake_;
    int epoll_ = -1;
    int stopEvent_ = -1;
    mutable std::mutex mutex_;
    bool closed_ = false;
    std::unordered_map<int, Entry> parked_;
    std::thread watcher_;
};

// Ends a connection the server gives up: both directions shut, then closed.
void CloseConnection(int fd);

}  // namespace quillserver
