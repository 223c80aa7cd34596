#include "net/transfer_cancel.h"
#include "net/net_names.h"

#include <curl/curl.h>

#include <algorithm>

namespace quill::net {

static_assert(TransferCancel::kCancelledCode == CURLE_ABORTED_BY_CALLBACK);

void TransferCancel::Cancel() {
    std::lock_guard<std::mutex> lock(lock_);
    cancelled_ = true;
    // A transfer may sleep up to a second on its sockets: wake it so that it sees the switch now.
    for (void* session : watched_) curl_multi_wakeup(static_cast<CURLM*>(session));
}

void TransferCancel::Watch(void* session) {
    if (!session) return;
    std::lock_guard<std::mutex> lock(lock_);
    if (std::find(watched_.begin(), watched_.end(), session) == watched_.end())
        watched_.push_back(session);
}

void TransferCancel::Unwatch(void* session) {
    std::lock_guard<std::mutex> lock(lock_);
    watched_.erase(std::remove(watched_.begin(), watched_.end(), session), watched_.end());
}

}  // namespace quill::net
