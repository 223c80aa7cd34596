// The revision watcher: a thread that asks the review server every few seconds how many
// comment revisions of others the client has not taken in yet, for the new-comment indicator.
#pragma once
#include "session/session_names.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "net/transfer_cancel.h"
#include "review/review_client.h"

namespace quill::session {

// The one block the watcher shares with the window: reference-counted, so that neither side
// ever reads a destroyed object, whichever ends first.
struct WatcherState {
    std::atomic<bool> running{true};   // cleared when the window goes
    std::atomic<bool> ready{false};    // viewerReady: polls start once the document is shown
    std::atomic<bool> stopped{false};  // the thread's last act
    std::atomic<int> newCommentCount{0};
    // Set while the consolidation runs: no polls, and the answer of one in flight is dropped.
    std::atomic<bool> finishing{false};
    // Set once the client closed the review itself: its closed answer ends nothing.
    std::atomic<bool> closedByClient{false};
};

class RevisionWatcher {
public:
    struct Timing {
        std::chrono::milliseconds pollPeriod{5000};
        std::chrono::milliseconds notReadyPeriod{1000};
    };
    // Called on the watcher's thread; they must only post to the GUI thread, never block on it.
    struct Events {
        std::function<void()> started;          // the window is maximised
        std::function<void(int)> countChanged;  // the indicator shows the new count
        // The server answered without the revision object: the review is closed.
        std::function<void(const std::string& message)> reviewClosed;
    };
    // The poll: "REVISION" with the latest revision taken in. The switch ends it at once.
    using Poll = std::function<review::CommandReply(const std::shared_ptr<net::TransferCancel>&)>;
    // The latest revision the client has taken in (read before and after each poll).
    using LatestRevision = std::function<int()>;

    RevisionWatcher(std::shared_ptr<WatcherState> state, Poll poll, LatestRevision latest,
                    Events events, Timing timing);
    RevisionWatcher(std::shared_ptr<WatcherState> state, Poll poll, LatestRevision latest,
                    Events events)
        : RevisionWatcher(std::move(state), std::move(poll), std::move(latest), std::move(events),
                          Timing{}) {}
    // Stops and joins.
    ~RevisionWatcher();
    RevisionWatcher(const RevisionWatcher&) = delete;
    RevisionWatcher& operator=(const RevisionWatcher&) = delete;

    void Start();
    // Clears running, ends a poll in flight and joins the thread; returns once it has ended.
    void Stop();

    // A poll that sends "REVISION" through the client with short time-outs.
    static Poll ReviewServerPoll(review::ReviewClient client);

    static constexpr const char* kClosedMessage = "Network error.\nThis Squad Check is closed.";

private:
    void Run();
    // Sleeps for period unless stopped meanwhile; false once stopped.
    bool Sleep(std::chrono::milliseconds period);
    void PollOnce();

    std::shared_ptr<WatcherState> state_;
    Poll poll_;
    LatestRevision latest_;
    Events events_;
    Timing timing_;
    std::shared_ptr<net::TransferCancel> cancel_ = std::make_shared<net::TransferCancel>();
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopRequested_ = false;  // under lock_
    std::thread thread_;
};

}  // namespace quill::session
