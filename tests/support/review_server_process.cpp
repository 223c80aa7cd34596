#include "support/review_server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

bool ReadPorts(const std::filesystem::path& file, int& port, int& ecmPort) {
    std::ifstream in(file);
    std::string line;
    port = ecmPort = -1;
    while (std::getline(in, line)) {
        if (line.rfind("review=", 0) == 0) port = std::atoi(line.c_str() + 7);
        if (line.rfind("ecm=", 0) == 0) ecmPort = std::atoi(line.c_str() + 4);
    }
    return port > 0 && ecmPort > 0;
}

}  // namespace

std::string ReviewServerProcess::BinaryPath() {
    return std::string(QUILL_BINARY_DIR) + "/server/quill-review-server";
}

ReviewServerProcess::ReviewServerProcess() : data_(std::make_unique<TempDir>()) {}

ReviewServerProcess::~ReviewServerProcess() { Stop(); }

std::string ReviewServerProcess::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

bool ReviewServerProcess::Start(const Options& options) {
    Stop();
    options_ = options;
    return Launch(0, 0);
}

bool ReviewServerProcess::Restart() {
    int port = port_, ecm = ecmPort_;
    Stop();
    if (Launch(port, ecm)) return true;
    // The old ports were taken meanwhile: any free ones will do.
    return Launch(0, 0);
}

bool ReviewServerProcess::Launch(int port, int ecmPort) {
    error_.clear();
    auto portFile = data_->path() / "ports";
    auto logFile = data_->path() / "server.log";
    std::error_code ec;
    std::filesystem::remove(portFile, ec);
    std::vector<std::string> args = {BinaryPath(),
                                     "--host",
                                     "127.0.0.1",
                                     "--port",
                                     std::to_string(port),
                                     "--ecm-port",
                                     std::to_string(ecmPort),
                                     "--data",
                                     (data_->path() / "data").string(),
                                     "--port-file",
                                     portFile.string()};
    if (options_.seedDemo) args.insert(args.end(), {"--seed", "demo"});
    for (const auto& d : options_.documents) args.insert(args.end(), {"--document", d});
    for (const auto& f : options_.faults) args.insert(args.end(), {"--fault", f});
    args.insert(args.end(), options_.extraArgs.begin(), options_.extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error_ = "cannot start " + BinaryPath();
        return false;
    }
    pid_ = pid;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "quill-review-server ended at start: " + ReadFileBytes(logFile);
            return false;
        }
        if (ReadPorts(portFile, port_, ecmPort_)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = "quill-review-server did not start listening in time";
    Kill();
    return false;
}

void ReviewServerProcess::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 250; ++i) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Kill();
}

void ReviewServerProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

bool ReviewServerProcess::AddFault(const std::string& rule) {
    return LoopbackPost(port_, "/__faults?rule=" + UrlEncode(rule), "").status == 200;
}

bool ReviewServerProcess::ClearFaults() {
    return LoopbackRequest(port_, "DELETE", "/__faults").status == 200;
}

bool ReviewServerProcess::AddDocument(const std::string& name, const std::string& bytes) {
    return LoopbackRequest(port_, "POST", "/__admin/document?name=" + UrlEncode(name), bytes,
                           "application/pdf")
               .status == 200;
}

bool ReviewServerProcess::AddParticipant(int squrvwmno, int rvwfileseq, int patcpseq,
                                         const std::string& userId, const std::string& userKnm,
                                         const std::string& siteUseNm, const std::string& siteCd,
                                         bool opener) {
    std::string q = "/__admin/participant?squrvwmno=" + std::to_string(squrvwmno) +
                    "&rvwfileseq=" + std::to_string(rvwfileseq) +
                    "&patcpseq=" + std::to_string(patcpseq) + "&userid=" + UrlEncode(userId) +
                    "&userknm=" + UrlEncode(userKnm) + "&siteusenm=" + UrlEncode(siteUseNm) +
                    "&sitecd=" + UrlEncode(siteCd) + "&opener=" + (opener ? "Y" : "N");
    return LoopbackPost(port_, q, "").status == 200;
}

}  // namespace testsupport
