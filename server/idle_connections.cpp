#include "server/idle_connections.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillserver {

namespace {

// How often idle connections are looked at for their limit; well below any limit in use.
constexpr int kSweepMs = 100;

}  // namespace

void CloseConnection(int fd) {
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

IdleConnections::IdleConnections(std::chrono::milliseconds idleLimit, Wake wake)
    : idleLimit_(idleLimit), wake_(std::move(wake)) {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    stopEvent_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || stopEvent_ < 0) {
        // Without a watcher nothing is parked: connections are closed after each request.
        closed_ = true;
        return;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = stopEvent_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, stopEvent_, &ev);
    watcher_ = std::thread([this] { Watch(); });
}

IdleConnections::~IdleConnections() {
    Close();
    if (epoll_ >= 0) ::close(epoll_);
    if (stopEvent_ >= 0) ::close(stopEvent_);
}

bool IdleConnections::Park(int fd, size_t requestsLeft) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP;
    ev.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0) return false;
    parked_[fd] = {requestsLeft, std::chrono::steady_clock::now()};
    return true;
}

size_t IdleConnections::Parked() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return parked_.size();
}

void IdleConnections::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ && !watcher_.joinable()) return;
        closed_ = true;
    }
    if (watcher_.joinable()) {
        uint64_t one = 1;
        (void)!::write(stopEvent_, &one, sizeof one);
        watcher_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [fd, entry] : parked_) CloseConnection(fd);
    parked_.clear();
}

void IdleConnections::Watch() {
    std::array<epoll_event, 256> events{};
    auto lastSweep = std::chrono::steady_clock::now();
    std::vector<std::pair<int, size_t>> ready;
    for (;;) {
        int n = ::epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), kSweepMs);
        if (n < 0 && errno != EINTR) {
            // Nothing parked could be woken any more: end those connections, park no more.
            std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
            for (const auto& [fd, entry] : parked_) CloseConnection(fd);
            parked_.clear();
            return;
        }
        n = std::max(n, 0);
        ready.clear();
        auto now = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_) return;
            for (int i = 0; i < n; ++i) {
                int fd = events[static_cast<size_t>(i)].data.fd;
                auto it = parked_.find(fd);
                if (fd == stopEvent_ || it == parked_.end()) continue;
                ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
                ready.emplace_back(fd, it->second.requestsLeft);
                parked_.erase(it);
            }
            if (now - lastSweep >= std::chrono::milliseconds(kSweepMs)) {
                lastSweep = now;
                for (auto it = parked_.begin(); it != parked_.end();) {
                    if (now - it->second.since < idleLimit_) {
                        ++it;
                        continue;
                    }
                    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, it->first, nullptr);
                    CloseConnection(it->first);
                    it = parked_.erase(it);
                }
            }
        }
        for (const auto& [fd, left] : ready) wake_(fd, left);
    }
}

}  // namespace quillserver
