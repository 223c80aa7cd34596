// The values the client holds besides the launch values that review requests carry.
#pragma once
#include "review/review_names.h"

#include <atomic>
#include <cstdint>

namespace quill::review {

class ReviewSession {
public:
    // The latest comment-queue revision the client has taken in; read by the revision
    // watcher while the main thread and the merge set it.
    int32_t LatestRevision() const { return latestRevision_.load(); }
    void SetLatestRevision(int32_t revision) { latestRevision_.store(revision); }

    // Set while consolidated comments are published to the target review.
    bool PublishToParent() const { return publishToParent_.load(); }
    void SetPublishToParent(bool on) { publishToParent_.store(on); }

private:
    std::atomic<int32_t> latestRevision_{0};
    std::atomic<bool> publishToParent_{false};
};

// The process-wide values of the running client.
ReviewSession& AppReviewSession();

}  // namespace quill::review
