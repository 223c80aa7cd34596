// The revision watcher while the consolidation runs and after it closed the review.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "session/revision_watcher.h"

using namespace quill;
using namespace quill::session;

namespace {

struct ClosedServer {
    std::atomic<int> polls{0};
    std::atomic<int> closedEvents{0};
};

std::unique_ptr<RevisionWatcher> StartWatcher(const std::shared_ptr<WatcherState>& state,
                                              ClosedServer& server) {
    RevisionWatcher::Events events;
    events.reviewClosed = [&server](const std::string&) { ++server.closedEvents; };
    RevisionWatcher::Timing timing;
    timing.pollPeriod = std::chrono::milliseconds(10);
    timing.notReadyPeriod = std::chrono::milliseconds(10);
    auto watcher = std::make_unique<RevisionWatcher>(
        state,
        [&server](const std::shared_ptr<net::TransferCancel>&) {
            ++server.polls;
            // A closed review answers without the revision object.
            return review::CommandReply{true, "ERROR"};
        },
        [] { return 0; }, events, timing);
    watcher->Start();
    return watcher;
}

void WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 300 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST(WatcherDuringConsolidation, NoPollsWhileItRunsAndNoErrorAfterTheClientClosed) {
    auto state = std::make_shared<WatcherState>();
    state->ready = true;
    state->finishing = true;
    ClosedServer server;
    auto watcher = StartWatcher(state, server);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server.polls, 0);

    // The flow closed the review itself and ended: the client ends normally.
    state->closedByClient = true;
    state->finishing = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server.closedEvents, 0);
    watcher->Stop();
}

TEST(WatcherDuringConsolidation, AReviewClosedByOthersIsStillReported) {
    auto state = std::make_shared<WatcherState>();
    state->ready = true;
    ClosedServer server;
    auto watcher = StartWatcher(state, server);
    WaitFor([&] { return server.closedEvents > 0; });
    EXPECT_EQ(server.closedEvents, 1);
    watcher->Stop();
}

}  // namespace
