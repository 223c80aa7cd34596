#include "server/connection_stream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillserver {

namespace {

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        // A hang-up or error counts as ready: the read or write that follows reports it.
        return n > 0;
    }
}

void NameOf(const sockaddr_storage& addr, socklen_t len, std::string& ip, int& port) {
    char host[NI_MAXHOST] = {}, service[NI_MAXSERV] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&addr), len, host, sizeof host, service,
                      sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return;
    ip = host;
    port = std::atoi(service);
}

}  // namespace

bool WaitReadable(int fd, int timeoutMs) { return WaitFor(fd, POLLIN, timeoutMs); }

ConnectionStream::ConnectionStream(int fd, int readTimeoutMs, int writeTimeoutMs)
    : fd_(fd), readTimeoutMs_(readTimeoutMs), writeTimeoutMs_(writeTimeoutMs) {}

bool ConnectionStream::is_readable() const {
    return HasBuffered() || WaitFor(fd_, POLLIN, readTimeoutMs_);
}

bool ConnectionStream::is_writable() const { return WaitFor(fd_, POLLOUT, writeTimeoutMs_); }

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (!HasBuffered()) {
        if (!WaitFor(fd_, POLLIN, readTimeoutMs_)) return -1;
        ssize_t n;
        do {
            n = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return n;
        begin_ = 0;
        end_ = static_cast<size_t>(n);
    }
    size_t take = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_.data() + begin_, take);
    begin_ += take;
    return static_cast<ssize_t>(take);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!WaitFor(fd_, POLLOUT, writeTimeoutMs_)) return -1;
    ssize_t n;
    do {
        n = ::send(fd_, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        NameOf(addr, len, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        NameOf(addr, len, ip, port);
}

}  // namespace quillserver
