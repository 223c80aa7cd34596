// Downloads a 200 MB document from a loopback server with CHttpForm::DownloadFile and with
// the curl program, in the same run, and prints throughput and peak memory of each.
//
//   bench_download_bench [size-in-MB] [rounds]
//
// The server runs in a forked process so that its memory is not counted as ours.
#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "net/http_form.h"

using namespace quill;
using namespace quill::net;

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0) return std::atol(line.c_str() + n + 1);
    return -1;
}

void MakeDocument(const std::string& path, size_t bytes) {
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::exit(1);
    for (size_t done = 0; done < bytes; done += block.size()) {
        size_t n = std::min(block.size(), bytes - done);
        block[0] = static_cast<char>(done >> 20);
        std::fwrite(block.data(), 1, n, f);
    }
    std::fclose(f);
}

// Child process: serves the file at /doc.pdf, reading it piece by piece.
[[noreturn]] void Serve(const std::string& path, int portPipe) {
    httplib::Server server;
    server.Get("/doc.pdf", [&path](const httplib::Request&, httplib::Response& res) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            res.status = 500;
            return;
        }
        res.set_content_provider(
            static_cast<size_t>(st.st_size), "application/pdf",
            [fd](size_t offset, size_t length, httplib::DataSink& sink) {
                static thread_local std::vector<char> buffer(256 * 1024);
                ssize_t n = ::pread(fd, buffer.data(), std::min(length, buffer.size()),
                                    static_cast<off_t>(offset));
                if (n <= 0) return false;
                sink.write(buffer.data(), static_cast<size_t>(n));
                return true;
            },
            [fd](bool) { ::close(fd); });
    });
    int port = server.bind_to_any_port("127.0.0.1");
    if (::write(portPipe, &port, sizeof port) != sizeof port) std::_Exit(1);
    ::close(portPipe);
    server.listen_after_bind();
    std::_Exit(0);
}

struct CurlRun {
    double seconds = 0;          // wall time, program start included
    double transferSeconds = 0;  // curl's own time_total
    long maxRssKb = 0;
    bool ok = false;
};

long PeakKbOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, 6, "VmHWM:") == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// The wait status's maxrss of a spawned child includes the spawning process's own memory,
// so curl's peak is sampled from its /proc entry while it runs. Its own transfer time
// (-w time_total, without the start of the program) is taken too.
CurlRun RunCurl(const std::string& url, const std::string& out) {
    std::vector<std::string> args = {"curl", "-s", "-f", "-o", out, "-w", "%{time_total}", url};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    CurlRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    auto start = Clock::now();
    int spawned = posix_spawnp(&pid, "curl", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        return run;
    }
    int status = 0;
    for (;;) {
        long kb = PeakKbOf(pid);
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        run.maxRssKb = std::max(run.maxRssKb, kb);
        usleep(5000);
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    char text[64] = {};
    ssize_t n = ::read(fds[0], text, sizeof text - 1);
    ::close(fds[0]);
    run.transferSeconds = n > 0 ? std::strtod(text, nullptr) : run.seconds;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    size_t bytes = megabytes << 20;

    std::string dir =
        (std::filesystem::temp_directory_path() / "quill-download-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) return 1;
    std::string source = dir + "/source.pdf";
    std::string ours = dir + "/ours.pdf";
    std::string theirs = dir + "/curl.pdf";
    MakeDocument(source, bytes);

    int pipeFds[2];
    if (pipe(pipeFds) != 0) return 1;
    pid_t server = fork();
    if (server == 0) {
        ::close(pipeFds[0]);
        Serve(source, pipeFds[1]);
    }
    ::close(pipeFds[1]);
    int port = 0;
    if (::read(pipeFds[0], &port, sizeof port) != sizeof port || port <= 0) return 1;
    ::close(pipeFds[0]);
    std::string url = "http://127.0.0.1:" + std::to_string(port) + "/doc.pdf";
    usleep(100000);

    long baselineKb = StatusKb("VmHWM:");
    std::vector<double> oursMbps, curlMbps, curlWallMbps, oursCpu;
    long curlRssKb = 0;
    bool allOk = true;
    for (int round = 0; round < rounds; ++round) {
        CHttpForm form("127.0.0.1", port);
        struct rusage before {};
        getrusage(RUSAGE_SELF, &before);
        auto start = Clock::now();
        int result = form.DownloadFile(url, ours);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        struct rusage after {};
        getrusage(RUSAGE_SELF, &after);
        auto cpu = [](const struct rusage& u) {
            return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
                   (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        };
        oursCpu.push_back(cpu(after) - cpu(before));
        bool ok = result == 1 && std::filesystem::file_size(ours) == bytes;
        allOk = allOk && ok;
        oursMbps.push_back(megabytes / seconds);
        std::remove(ours.c_str());

        CurlRun run = RunCurl(url, theirs);
        allOk = allOk && run.ok && std::filesystem::file_size(theirs) == bytes;
        curlMbps.push_back(megabytes / run.transferSeconds);
        curlWallMbps.push_back(megabytes / run.seconds);
        curlRssKb = std::max(curlRssKb, run.maxRssKb);
        std::remove(theirs.c_str());
        std::printf("round %d: DownloadFile %.0f MB/s (cpu %.2f s), curl -o %.0f MB/s%s\n",
                    round + 1, oursMbps.back(), oursCpu.back(), curlMbps.back(),
                    ok ? "" : " (DownloadFile FAILED)");
    }
    struct rusage self {};
    getrusage(RUSAGE_SELF, &self);
    long peakKb = StatusKb("VmHWM:");

    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::filesystem::remove_all(dir);

    double ourMedian = Median(oursMbps), curlMedian = Median(curlMbps);
    std::printf("document: %zu MB, %d rounds, loopback\n", megabytes, rounds);
    std::printf(
        "DownloadFile: median %.0f MB/s, peak memory (VmHWM) %.1f MB (before the first "
        "download %.1f MB; maxrss %.1f MB)\n",
        ourMedian, peakKb / 1024.0, baselineKb / 1024.0, self.ru_maxrss / 1024.0);
    std::printf(
        "curl -o:      median %.0f MB/s by its own time_total (%.0f MB/s with program "
        "start), peak memory (VmHWM) %.1f MB\n",
        curlMedian, Median(curlWallMbps), curlRssKb / 1024.0);
    std::printf("throughput ratio: %.0f%% of curl (medians, curl by time_total)\n",
                100.0 * ourMedian / curlMedian);
    if (!allOk) std::printf("SOME DOWNLOADS FAILED\n");
    return allOk ? 0 : 1;
}
