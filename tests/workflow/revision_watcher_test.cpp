// The revision watcher against the bundled server: the indicator's count, outages, a closed
// review, and stopping while a poll hangs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "app/launch_params.h"
#include "review/review_session.h"
#include "session/revision_watcher.h"
#include "support/review_server_process.h"

using namespace quill;
using namespace quill::session;
using namespace std::chrono_literals;

namespace {

class Watcher : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ReviewServerProcess::Options options;
        options.seedDemo = true;
        ASSERT_TRUE(server.Start(options)) << server.error();
        params.HOST = server.host();
        params.PORT = server.port();
        params.USERID = "reviewer1";
        params.docId = "10011";
        params.SQURVWMNO = 1001;
        params.RVWFILESEQ = 1;
        state->ready = true;
    }

    std::unique_ptr<RevisionWatcher> Start(RevisionWatcher::Timing timing = Fast()) {
        RevisionWatcher::Events events;
        events.countChanged = [this](int count) {
            std::lock_guard<std::mutex> guard(lock);
            counts.push_back(count);
        };
        events.reviewClosed = [this](const std::string& message) {
            std::lock_guard<std::mutex> guard(lock);
            closed.push_back(message);
        };
        auto watcher = std::make_unique<RevisionWatcher>(
            state, RevisionWatcher::ReviewServerPoll(review::ReviewClient(params, session)),
            [this] { return session.LatestRevision(); }, events, timing);
        watcher->Start();
        return watcher;
    }
    static RevisionWatcher::Timing Fast() { return {50ms, 20ms}; }

    // Waits (up to 10 s) until pred holds.
    template <typename Pred>
    bool WaitFor(Pred pred) {
        for (int i = 0; i < 1000; ++i) {
            {
                std::lock_guard<std::mutex> guard(lock);
                if (pred()) return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    testsupport::ReviewServerProcess server;
    app::LaunchParams params;
    review::ReviewSession session;
    std::shared_ptr<WatcherState> state = std::make_shared<WatcherState>();
    std::mutex lock;
    std::vector<int> counts;
    std::vector<std::string> closed;
};

TEST_F(Watcher, CountsRevisionsOfOthersNotYetTakenIn) {
    auto watcher = Start();
    ASSERT_TRUE(WaitFor([&] { return !counts.empty(); }));
    EXPECT_GT(state->newCommentCount, 0);
    // Once the client has taken them in, the indicator goes back to 0.
    session.SetLatestRevision(2);
    ASSERT_TRUE(WaitFor([&] { return !counts.empty() && counts.back() == 0; }));
    watcher->Stop();
    EXPECT_TRUE(state->stopped);
    EXPECT_TRUE(closed.empty());
}

TEST_F(Watcher, DoesNotPollBeforeTheViewerIsReady) {
    state->ready = false;
    auto watcher = Start();
    std::this_thread::sleep_for(200ms);
    {
        std::lock_guard<std::mutex> guard(lock);
        EXPECT_TRUE(counts.empty());
    }
    state->ready = true;
    EXPECT_TRUE(WaitFor([&] { return !counts.empty(); }));
}

TEST_F(Watcher, DroppedPollsKeepItRunningAndAClosedReviewEndsIt) {
    ASSERT_TRUE(server.AddFault("drop:/Comm/revision.do@3"));
    ASSERT_TRUE(server.AddFault("status:/Comm/revision.do:503@2"));
    auto watcher = Start();
    // After five failed polls it counts again: an outage never ends the client.
    ASSERT_TRUE(WaitFor([&] { return !counts.empty(); }));
    EXPECT_TRUE(closed.empty());

    // A reply without the revision object is the server's word that the review is closed.
    ASSERT_TRUE(server.AddFault("garbage:/Comm/revision.do"));
    ASSERT_TRUE(WaitFor([&] { return !closed.empty(); }));
    EXPECT_EQ(closed.front(), "Network error.\nThis Squad Check is closed.");
    ASSERT_TRUE(WaitFor([&] { return state->stopped.load(); }));
}

TEST_F(Watcher, StoppingWhileAPollHangsReturnsAtOnce) {
    ASSERT_TRUE(server.AddFault("delay:/Comm/revision.do:30000@*"));
    auto watcher = Start();
    std::this_thread::sleep_for(300ms);  // the poll is out
    const auto before = std::chrono::steady_clock::now();
    watcher->Stop();
    // Far below the server's 30 s: the poll in flight was cancelled.
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    EXPECT_TRUE(state->stopped);
}

TEST(WatcherRace, APollThatRacedACheckIsDropped) {
    auto state = std::make_shared<WatcherState>();
    state->ready = true;
    std::atomic<int> latest{0};
    std::atomic<int> polls{0};
    std::vector<int> counts;
    std::mutex lock;
    RevisionWatcher::Events events;
    events.countChanged = [&](int count) {
        std::lock_guard<std::mutex> guard(lock);
        counts.push_back(count);
    };
    // The first poll answers 4, but a check took the revisions in while it was out.
    auto poll = [&](const std::shared_ptr<net::TransferCancel>&) {
        review::CommandReply reply{true, "{\"revno\":\"4\"}"};
        if (polls++ == 0)
            latest = 4;
        else
            reply.body = "{\"revno\":\"0\"}";
        return reply;
    };
    RevisionWatcher watcher(state, poll, [&] { return latest.load(); }, events, {5ms, 5ms});
    watcher.Start();
    while (polls < 3) std::this_thread::sleep_for(1ms);
    watcher.Stop();
    std::lock_guard<std::mutex> guard(lock);
    ASSERT_FALSE(counts.empty());
    for (int count : counts) EXPECT_EQ(count, 0);
    EXPECT_EQ(state->newCommentCount, 0);
}

}  // namespace
