// Runs quill-review-server for a test: a free loopback port, a temporary data folder, stopped
// (and the folder removed) when the object goes.
#pragma once

#include <sys/types.h>
#include <memory>
#include <string>
#include <vector>

#include "support/loopback_http.h"
#include "support/temp_dir.h"

namespace testsupport {

class ReviewServerProcess {
public:
    struct Options {
        bool seedDemo = false;               // --seed demo: review 1001, file 1, docId "10011"
        std::vector<std::string> documents;  // PDF files served by download.do under their names
        std::vector<std::string> faults;     // --fault specs, e.g. "status:/Comm/update.do:500@2"
        std::vector<std::string> extraArgs;
    };

    ReviewServerProcess();
    ~ReviewServerProcess();
    ReviewServerProcess(const ReviewServerProcess&) = delete;
    ReviewServerProcess& operator=(const ReviewServerProcess&) = delete;

    // Starts the server and waits (up to 15 s) until it listens. False with error() on failure.
    bool Start(const Options& options);
    bool Start() { return Start(Options{}); }
    // Ends it with SIGTERM (SIGKILL after 5 s).
    void Stop();
    // Ends it at once with SIGKILL, as a crash would.
    void Kill();
    // Starts it again on the same data folder and, where still free, the same ports.
    bool Restart();
    bool running() const { return pid_ > 0; }

    int port() const { return port_; }
    int ecmPort() const { return ecmPort_; }
    std::string host() const { return "127.0.0.1"; }
    // "http://127.0.0.1:PORT"
    std::string baseUrl() const;
    std::string dataDir() const { return data_->str(); }
    const std::string& error() const { return error_; }
    static std::string BinaryPath();

    // Fault switches through the admin endpoint: rule "KIND:PATH[:ARG][@COUNT]".
    bool AddFault(const std::string& rule);
    bool ClearFaults();
    // Serves bytes as /Comm/download.do?file=name (name ends in ".pdf").
    bool AddDocument(const std::string& name, const std::string& bytes);
    // Registers a participant of a review (opener marks the review's initiator).
    bool AddParticipant(int squrvwmno, int rvwfileseq, int patcpseq, const std::string& userId,
                        const std::string& userKnm, const std::string& siteUseNm,
                        const std::string& siteCd = "", bool opener = false);

    LoopbackReply Get(const std::string& target) const { return LoopbackGet(port_, target); }
    LoopbackReply Post(const std::string& target, const std::string& body) const {
        return LoopbackPost(port_, target, body);
    }

private:
    bool Launch(int port, int ecmPort);

    std::unique_ptr<TempDir> data_;
    Options options_;
    pid_t pid_ = -1;
    int port_ = -1;
    int ecmPort_ = -1;
    std::string error_;
};

}  // namespace testsupport
