#include "session/revision_watcher.h"
#include "session/session_names.h"

#include <cstdio>

#include "app/logs.h"
#include "review/review_replies.h"

namespace quill::session {

RevisionWatcher::RevisionWatcher(std::shared_ptr<WatcherState> state, Poll poll,
                                 LatestRevision latest, Events events, Timing timing)
    : state_(std::move(state)),
      poll_(std::move(poll)),
      latest_(std::move(latest)),
      events_(std::move(events)),
      timing_(timing) {}

RevisionWatcher::~RevisionWatcher() { Stop(); }

void RevisionWatcher::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { Run(); });
}

void RevisionWatcher::Stop() {
    state_->running = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopRequested_ = true;
    }
    cancel_->Cancel();
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool RevisionWatcher::Sleep(std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> guard(lock_);
    wake_.wait_for(guard, period, [this] { return stopRequested_; });
    return !stopRequested_ && state_->running;
}

void RevisionWatcher::Run() {
    if (events_.started) events_.started();
    while (state_->running) {
        if (!state_->ready || state_->finishing || state_->closedByClient) {
            if (!Sleep(timing_.notReadyPeriod)) break;
            continue;
        }
        const int before = latest_();
        review::CommandReply reply = poll_(cancel_);
        if (!state_->running) break;
        if (state_->finishing || state_->closedByClient) {
            // The consolidation started meanwhile: what the review looks like now is its own.
            continue;
        } else if (!reply.arrived) {
            // An outage is the autosave worker's to report; ending the client here would lose
            // the changes it holds until the server is back.
            WriteLog("RevisionWatcher", "Revision poll failed; polling goes on");
        } else if (!review::IsJsonReply(reply.body, review::kRevnoOpening)) {
            // The server answers without the object once the review is closed.
            WriteLog("RevisionWatcher", "Review closed: " + reply.body.substr(0, 200));
            if (events_.reviewClosed) events_.reviewClosed(kClosedMessage);
            break;
        } else if (latest_() == before) {
            // A poll that raced a check counts revisions the check has already taken in.
            int32_t revno = 0;
            if (!review::ReadRevisionReply(reply.body, revno) || revno < 1) revno = 0;
            state_->newCommentCount = revno;
            if (events_.countChanged) events_.countChanged(revno);
        }
        if (!Sleep(timing_.pollPeriod)) break;
    }
    state_->stopped = true;
}

RevisionWatcher::Poll RevisionWatcher::ReviewServerPoll(review::ReviewClient client) {
    // Short time-outs: a dead server must not keep the watcher from its next poll for long;
    // Stop ends a poll in flight anyway.
    net::HttpTimeouts timeouts;
    timeouts.connectSeconds = 3;
    timeouts.stallSeconds = 4;
    client.SetTimeouts(timeouts);
    return [client](const std::shared_ptr<net::TransferCancel>& cancel) mutable {
        client.SetCancel(cancel);
        return client.SendCommand("REVISION");
    };
}

}  // namespace quill::session
