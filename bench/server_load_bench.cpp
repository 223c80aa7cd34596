// Load on the review server: many clients poll revision.do every five seconds while some of
// them autosave one comment a second; reports latency percentiles, errors and lost items.
// Usage: bench_server_load_bench [--seconds 30] [--clients 500] [--autosavers 20] [--history 200]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

#include "codec/percent_encoding.h"
#include "server/comment_blob.h"
#include "server/request_params.h"
#include "server/review_server.h"

using namespace quill;
using namespace quill::codec;

using Clock = std::chrono::steady_clock;
using namespace quillserver;

namespace {

struct Task {
    Clock::time_point due;
    int client;
    bool autosave;
    bool operator>(const Task& o) const { return due > o.due; }
};

struct Stats {
    std::mutex mutex;
    std::vector<double> pollMs, saveMs;
    long pollErrors = 0, saveErrors = 0;
    void Add(bool save, double ms, bool ok) {
        std::lock_guard<std::mutex> lock(mutex);
        (save ? saveMs : pollMs).push_back(ms);
        if (!ok) ++(save ? saveErrors : pollErrors);
    }
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * (v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::string Body(int client, int seq, const std::string& docId) {
    std::string nm = "BENCH-" + std::to_string(client) + "-" + std::to_string(seq);
    std::string annot = "<</Type/Annot/Subtype/Square/Rect[ 100 100 200 200]/C[ 1 0 0]/NM(" + nm +
                        ")/T(Bench User-Piping)/Subj(rectangle)/Contents(" + std::string(600, 'x') +
                        ")/CreationDate(D:20261201090000+09'00')/Page 0>>";
    std::string popup =
        "<</Type/Annot/Subtype/Popup/Rect[ 200 200 380 300]/Open false/Parent 2 0 R /Page 0>>";
    std::string object = PercentEncode(MakeCommentBlob(annot, popup, ""));
    std::string user = "bench" + std::to_string(client);
    return "CMD=AUTOSAVE&IRT=&NM=" + PercentEncode(nm) +
           "&actionType=0&creationDate=&docId=" + docId + "&object=" + PercentEncode(object) +
           "&pageNo=0&qType=A&targetId=" + user + "&userId=" + user + "&";
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = 30, clients = 500, autosavers = 20, history = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        int v = std::atoi(argv[i + 1]);
        if (a == "--seconds")
            seconds = v;
        else if (a == "--clients")
            clients = v;
        else if (a == "--autosavers")
            autosavers = v;
        else if (a == "--history")
            history = v;
    }
    autosavers = std::min(autosavers, clients);
    auto dir = std::filesystem::temp_directory_path() / ("quill-bench-" + std::to_string(getpid()));
    ServerOptions options;
    options.port = 0;
    options.ecmPort = 0;
    options.dataDir = dir.string();
    options.seed = "demo";
    ReviewServer server(options);
    std::string error;
    if (!server.Start(error)) {
        std::fprintf(stderr, "server: %s\n", error.c_str());
        return 1;
    }
    const int port = server.reviewPort();
    const std::string docId = "10011";

    // A document with some history, so the revision count has rows to look at.
    int historyRevision = 0;
    {
        httplib::Client c("127.0.0.1", port);
        for (int i = 0; i < history; ++i)
            c.Post("/Comm/autoSave.do", Body(100000, i, docId),
                   "application/x-www-form-urlencoded");
        auto r = c.Get("/Comm/publish.do?userid=bench100000&docid=" + docId);
        historyRevision = r ? std::atoi(r->body.c_str()) : 0;
    }

    Stats stats;
    std::vector<int> saved(static_cast<size_t>(autosavers), 0);
    std::priority_queue<Task, std::vector<Task>, std::greater<Task>> tasks;
    std::mutex qm;
    std::condition_variable cv;
    auto start = Clock::now() + std::chrono::milliseconds(200);
    auto end = start + std::chrono::seconds(seconds);
    for (int i = 0; i < clients; ++i)
        tasks.push({start + std::chrono::microseconds(5000000LL * i / clients), i, false});
    for (int i = 0; i < autosavers; ++i)
        tasks.push({start + std::chrono::microseconds(1000000LL * i / autosavers), i, true});

    std::atomic<bool> done{false};
    auto worker = [&] {
        for (;;) {
            Task t;
            {
                std::unique_lock<std::mutex> lock(qm);
                for (;;) {
                    if (done) return;
                    if (!tasks.empty() && tasks.top().due <= Clock::now()) break;
                    if (tasks.empty())
                        cv.wait(lock);
                    else
                        cv.wait_until(lock, tasks.top().due);
                }
                t = tasks.top();
                tasks.pop();
            }
            httplib::Client c("127.0.0.1", port);
            c.set_connection_timeout(5);
            c.set_read_timeout(10);
            auto t0 = Clock::now();
            bool ok = false;
            if (t.autosave) {
                int seq = saved[static_cast<size_t>(t.client)];
                auto r = c.Post("/Comm/autoSave.do", Body(t.client, seq, docId),
                                "application/x-www-form-urlencoded");
                ok = r && r->status == 200 && r->body.rfind("{\"r\":0,", 0) == 0;
                if (ok) ++saved[static_cast<size_t>(t.client)];
            } else {
                int rev = t.client % 3;
                auto r = c.Get("/Comm/revision.do?docId=" + docId + "&rev=" + std::to_string(rev) +
                               "&squrvwmno=1001&rvwfileseq=1");
                ok = r && r->status == 200 && r->body.rfind("{\"revno\":", 0) == 0;
            }
            double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            stats.Add(t.autosave, ms, ok);
            auto next = t.due + (t.autosave ? std::chrono::seconds(1) : std::chrono::seconds(5));
            if (next < end) {
                std::lock_guard<std::mutex> lock(qm);
                tasks.push({next, t.client, t.autosave});
                cv.notify_one();
            }
        }
    };
    std::vector<std::thread> workers;
    for (int i = 0; i < 32; ++i) workers.emplace_back(worker);
    std::this_thread::sleep_until(end + std::chrono::milliseconds(500));
    {
        std::lock_guard<std::mutex> lock(qm);
        done = true;
        cv.notify_all();
    }
    for (auto& w : workers) w.join();

    // Every saved item must come back once its author publishes.
    long lost = 0, total = 0;
    httplib::Client c("127.0.0.1", port);
    for (int i = 0; i < autosavers; ++i) {
        std::string user = "bench" + std::to_string(i);
        auto count = c.Get("/Comm/checkautosaved.do?docId=" + docId + "&userId=" + user);
        int unpublished = count ? std::atoi(count->body.c_str()) : -1;
        total += saved[static_cast<size_t>(i)];
        if (unpublished != saved[static_cast<size_t>(i)])
            lost += std::abs(saved[static_cast<size_t>(i)] - unpublished);
        c.Get("/Comm/publish.do?userid=" + user + "&docid=" + docId);
    }
    auto update = c.Get("/Comm/update.do?CMD=UPDATE&docId=" + docId +
                        "&rev=" + std::to_string(historyRevision) + "&");
    long fetched = 0;
    if (update) {
        for (size_t p = update->body.find("\"NM\":\"BENCH-"); p != std::string::npos;
             p = update->body.find("\"NM\":\"BENCH-", p + 1))
            ++fetched;
    }
    if (fetched != total) lost += std::labs(total - fetched);

    std::printf("server load: %d s, %d clients polling revision.do every 5 s, %d autosaving 1/s\n",
                seconds, clients, autosavers);
    std::printf(
        "revision.do: %zu requests, p50 %.2f ms, p90 %.2f ms, p99 %.2f ms, max %.2f ms, errors "
        "%ld\n",
        stats.pollMs.size(), Percentile(stats.pollMs, 0.5), Percentile(stats.pollMs, 0.9),
        Percentile(stats.pollMs, 0.99), Percentile(stats.pollMs, 1.0), stats.pollErrors);
    std::printf(
        "autoSave.do: %zu requests, p50 %.2f ms, p90 %.2f ms, p99 %.2f ms, max %.2f ms, errors "
        "%ld\n",
        stats.saveMs.size(), Percentile(stats.saveMs, 0.5), Percentile(stats.saveMs, 0.9),
        Percentile(stats.saveMs, 0.99), Percentile(stats.saveMs, 1.0), stats.saveErrors);
    std::printf("items saved %ld, fetched back after publish %ld, lost %ld\n", total, fetched,
                lost);
    server.Stop();
    server.Wait();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return (stats.pollErrors || stats.saveErrors || lost) ? 1 : 0;
}
