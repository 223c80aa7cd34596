// Load on the review server: many clients poll revision.do every five seconds while some of
// them autosave one comment a second; reports latency percentiles, errors and lost items. The
// first round opens a connection per request, as the client does; the next rounds keep every
// client's connection open between requests, as a proxy in front of the server would, so that
// most of the server's open connections are idle at any moment. curl, polling on one connection
// of its own in the middle of each round, is the outside measure of what a newcomer sees.
// Usage: bench_server_load_bench [--seconds 30] [--clients 500] [--kept-alive 500,5000]
//                                [--autosavers 20] [--history 200]   (--kept-alive 0: none)
#include <httplib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <queue>
#include <sstream>
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
    std::vector<double> pollMs, saveMs, lateMs;
    long pollErrors = 0, saveErrors = 0;
    void Add(bool save, double ms, double late, bool ok) {
        std::lock_guard<std::mutex> lock(mutex);
        (save ? saveMs : pollMs).push_back(ms);
        lateMs.push_back(late);
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

struct Round {
    int seconds = 30;
    int clients = 500;
    int autosavers = 20;
    int history = 200;
    bool keptAlive = false;
};

void PrintLatency(const char* what, const std::vector<double>& ms, long errors) {
    std::printf(
        "  %s: %zu requests, p50 %.2f ms, p90 %.2f ms, p99 %.2f ms, max %.2f ms, errors %ld\n",
        what, ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 0.99),
        Percentile(ms, 1.0), errors);
}

// curl polls revision.do on one connection of its own; its slowest request is what a client
// arriving in the middle of the load waits for.
std::string CurlAnchor(int port, const std::string& docId) {
    std::string url = "'http://127.0.0.1:" + std::to_string(port) +
                      "/Comm/revision.do?docId=" + docId + "&rev=0&squrvwmno=1001&rvwfileseq=1'";
    std::string command = "curl -s -w '%{http_code} %{time_total}\\n'";
    constexpr int kRequests = 20;
    for (int i = 0; i < kRequests; ++i) command += " -o /dev/null " + url;
    command += " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "curl: not run";
    std::vector<double> ms;
    int failed = 0;
    char line[128];
    while (std::fgets(line, sizeof line, pipe)) {
        int status = 0;
        double seconds = 0;
        if (std::sscanf(line, "%d %lf", &status, &seconds) != 2) continue;
        if (status != 200) ++failed;
        ms.push_back(seconds * 1000.0);
    }
    pclose(pipe);
    if (ms.empty()) return "curl: no answer (not installed?)";
    char out[160];
    std::snprintf(out, sizeof out,
                  "curl (outside, %zu requests on one connection): p50 %.2f ms, max %.2f ms, "
                  "failed %d",
                  ms.size(), Percentile(ms, 0.5), Percentile(ms, 1.0),
                  failed + kRequests - static_cast<int>(ms.size()));
    return out;
}

// One round on a fresh server; false when a request failed or an item was lost.
bool RunRound(const Round& round) {
    const int clients = round.clients;
    const int autosavers = std::min(round.autosavers, clients);
    auto dir = std::filesystem::temp_directory_path() /
               ("quill-bench-" + std::to_string(getpid()) + "-" + std::to_string(clients) +
                (round.keptAlive ? "-k" : ""));
    ServerOptions options;
    options.port = 0;
    options.ecmPort = 0;
    options.dataDir = dir.string();
    options.seed = "demo";
    ReviewServer server(options);
    std::string error;
    if (!server.Start(error)) {
        std::fprintf(stderr, "server: %s\n", error.c_str());
        return false;
    }
    const int port = server.reviewPort();
    const std::string docId = "10011";

    // A document with some history, so the revision count has rows to look at.
    int historyRevision = 0;
    {
        httplib::Client c("127.0.0.1", port);
        for (int i = 0; i < round.history; ++i)
            c.Post("/Comm/autoSave.do", Body(100000, i, docId),
                   "application/x-www-form-urlencoded");
        auto r = c.Get("/Comm/publish.do?userid=bench100000&docid=" + docId);
        historyRevision = r ? std::atoi(r->body.c_str()) : 0;
    }

    // With kept-alive connections every poller and every autosaver has a client of its own that
    // it reuses; only one request of a client is ever in flight.
    auto makeClient = [port] {
        auto c = std::make_unique<httplib::Client>("127.0.0.1", port);
        c->set_keep_alive(true);
        // As libcurl does: a request sent in two writes must not wait for the delayed ACK.
        c->set_tcp_nodelay(true);
        c->set_connection_timeout(5);
        c->set_read_timeout(10);
        return c;
    };
    std::vector<std::unique_ptr<httplib::Client>> pollClients, saveClients;
    if (round.keptAlive) {
        for (int i = 0; i < clients; ++i) pollClients.push_back(makeClient());
        for (int i = 0; i < autosavers; ++i) saveClients.push_back(makeClient());
    }

    Stats stats;
    std::vector<int> saved(static_cast<size_t>(autosavers), 0);
    std::priority_queue<Task, std::vector<Task>, std::greater<Task>> tasks;
    std::mutex qm;
    std::condition_variable cv;
    auto start = Clock::now() + std::chrono::milliseconds(200);
    auto end = start + std::chrono::seconds(round.seconds);
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
            std::unique_ptr<httplib::Client> fresh;
            httplib::Client* c = nullptr;
            if (round.keptAlive) {
                c = (t.autosave ? saveClients : pollClients)[static_cast<size_t>(t.client)].get();
            } else {
                fresh = std::make_unique<httplib::Client>("127.0.0.1", port);
                fresh->set_connection_timeout(5);
                fresh->set_read_timeout(10);
                c = fresh.get();
            }
            auto t0 = Clock::now();
            bool ok = false;
            if (t.autosave) {
                int seq = saved[static_cast<size_t>(t.client)];
                auto r = c->Post("/Comm/autoSave.do", Body(t.client, seq, docId),
                                 "application/x-www-form-urlencoded");
                ok = r && r->status == 200 && r->body.rfind("{\"r\":0,", 0) == 0;
                if (ok) ++saved[static_cast<size_t>(t.client)];
            } else {
                int rev = t.client % 3;
                auto r = c->Get("/Comm/revision.do?docId=" + docId + "&rev=" + std::to_string(rev) +
                                "&squrvwmno=1001&rvwfileseq=1");
                ok = r && r->status == 200 && r->body.rfind("{\"revno\":", 0) == 0;
            }
            auto t1 = Clock::now();
            double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
            double late = std::chrono::duration<double, std::milli>(t0 - t.due).count();
            stats.Add(t.autosave, ms, late, ok);
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
    std::this_thread::sleep_until(start + std::chrono::seconds(round.seconds) / 2);
    std::string anchor = CurlAnchor(port, docId);
    std::this_thread::sleep_until(end + std::chrono::milliseconds(500));
    {
        std::lock_guard<std::mutex> lock(qm);
        done = true;
        cv.notify_all();
    }
    for (auto& w : workers) w.join();
    pollClients.clear();
    saveClients.clear();

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

    std::printf(
        "server load, %s: %d s, %d clients polling revision.do every 5 s, %d autosaving 1/s\n",
        round.keptAlive ? "connections kept alive" : "a connection per request", round.seconds,
        clients, autosavers);
    PrintLatency("revision.do", stats.pollMs, stats.pollErrors);
    PrintLatency("autoSave.do", stats.saveMs, stats.saveErrors);
    std::printf("  bench's own lag behind the schedule: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                Percentile(stats.lateMs, 0.5), Percentile(stats.lateMs, 0.99),
                Percentile(stats.lateMs, 1.0));
    std::printf("  %s\n", anchor.c_str());
    std::printf("  items saved %ld, fetched back after publish %ld, lost %ld\n", total, fetched,
                lost);
    std::fflush(stdout);
    server.Stop();
    server.Wait();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return !(stats.pollErrors || stats.saveErrors || lost);
}

}  // namespace

int main(int argc, char** argv) {
    Round base;
    std::vector<int> keptAlive = {500, 5000};
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        int v = std::atoi(argv[i + 1]);
        if (a == "--seconds")
            base.seconds = v;
        else if (a == "--clients")
            base.clients = v;
        else if (a == "--autosavers")
            base.autosavers = v;
        else if (a == "--history")
            base.history = v;
        else if (a == "--kept-alive") {
            keptAlive.clear();
            std::stringstream list(argv[i + 1]);
            for (std::string item; std::getline(list, item, ',');)
                if (int n = std::atoi(item.c_str()); n > 0) keptAlive.push_back(n);
        }
    }
    // Thousands of kept-alive connections need both their ends open in this one process.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    bool ok = true;
    if (base.clients > 0) ok = RunRound(base) && ok;
    for (int n : keptAlive) {
        Round round = base;
        round.clients = n;
        round.keptAlive = true;
        ok = RunRound(round) && ok;
    }
    return ok ? 0 : 1;
}
