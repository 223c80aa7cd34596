// What the review benchmarks share: one reviewer's headless client (an engine on the drawing,
// an autosave worker against the server, and the merge callbacks of the viewer dialog), and
// the timing and failure helpers.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "sync/autosave_worker.h"
#include "viewer/engine/engine_control.h"

namespace benchsupport {

using Clock = std::chrono::steady_clock;
// The review every benchmark client works on: review 1001, file 1.
inline constexpr const char* kDocId = "10011";

double Since(Clock::time_point start);
[[noreturn]] void Die(const std::string& why);

// The outside measures: curl making `requests` requests to the server in one process (the round
// trips a publish of as many details makes), and curl downloading the items published after
// `rev` (the bytes a check reads). Seconds; -1 when curl failed.
double CurlRequests(int port, int requests, const std::filesystem::path& dir);
double CurlItemsAfter(int port, int rev);

// The size of the review: --pages 300 --comments 10000 --reviewers 20 --details 1000 (the
// details are the comments published at the end, among the comments).
struct ReviewScale {
    int pages = 300;
    int comments = 10000;
    int reviewers = 20;
    int details = 1000;
};
ReviewScale ReadReviewScale(int argc, char** argv);

class Client {
public:
    Client(int port, const std::string& drawing, const std::string& userId,
           const std::string& folder);
    ~Client();

    // Draws `count` comments, every tool in turn over the pages from `firstPage` on, and
    // queues each as the viewer dialog does when one is added.
    void Draw(int count, int firstPage);
    // Sends the queue and publishes; false when the queue did not empty in time.
    bool Publish(int port);
    // Annotations in the engine.
    int Comments();
    quill::sync::AutosaveWorker& worker() { return *worker_; }

private:
    std::string userId_;
    std::string folder_;
    quill::engine::EngineControl control_;
    std::unique_ptr<quill::sync::AutosaveWorker> worker_;
};

}  // namespace benchsupport
