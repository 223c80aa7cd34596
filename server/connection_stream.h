// One accepted connection read and written with time limits, its reads buffered so that the
// request line and headers are not read a byte per system call.
#pragma once

#include <httplib.h>

#include <array>
#include <cstddef>

namespace quillserver {

class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(int fd, int readTimeoutMs, int writeTimeoutMs);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

    // Bytes already read from the socket that no request has taken yet (a pipelined request).
    bool HasBuffered() const { return begin_ < end_; }

private:
    int fd_;
    int readTimeoutMs_;
    int writeTimeoutMs_;
    std::array<char, 4096> buffer_{};
    size_t begin_ = 0;
    size_t end_ = 0;
};

// Waits up to timeoutMs for fd to become readable (or to reach its end); 0 only looks.
bool WaitReadable(int fd, int timeoutMs);

}  // namespace quillserver
