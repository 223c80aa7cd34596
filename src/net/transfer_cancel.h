// A switch another thread throws to end a request's transfer at once.
#pragma once
#include "net/net_names.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace quill::net {

// Shared between the thread that runs the requests and the one that may end them. Once
// cancelled, the transfer in flight fails within moments with kCancelledCode, and so does every
// later request that uses the switch, before it connects, until Reset.
class TransferCancel {
public:
    static constexpr int kCancelledCode = 42;  // CURLE_ABORTED_BY_CALLBACK, checked where seen
    static constexpr const char* kCancelledText = "ERROR: Transfer cancelled";

    TransferCancel() = default;
    TransferCancel(const TransferCancel&) = delete;
    TransferCancel& operator=(const TransferCancel&) = delete;

    // Any thread.
    void Cancel();
    void Reset() { cancelled_ = false; }
    bool Cancelled() const { return cancelled_.load(); }

    // For the request layer: a transfer session (libcurl multi handle) waiting on its sockets
    // while watched is woken by Cancel. Unwatch before the session goes.
    void Watch(void* session);
    void Unwatch(void* session);

private:
    std::atomic<bool> cancelled_{false};
    std::mutex lock_;
    std::vector<void*> watched_;  // under lock_
};

}  // namespace quill::net
