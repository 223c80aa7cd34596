// An HTTP server on a free loopback port for tests, serving on its own thread.
#pragma once

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// What the server saw of one request, before its handler ran.
struct SeenRequest {
    std::string method;
    std::string target;  // path and query exactly as sent
    httplib::Headers headers;
};

class LoopbackHttpServer {
public:
    // Binds 127.0.0.1 on a free port; register handlers on server(), then Start().
    LoopbackHttpServer();
    // Stops serving and waits for the server thread.
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    httplib::Server& server() { return server_; }
    void Start();
    void Stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    std::string BaseUrl() const;
    // Set once Stop() begins: long-running content providers should give up then.
    bool stopping() const { return stopping_.load(); }
    // Serves GET path as a document that sends its first bytes and then nothing until Stop().
    void ServeStallingDocument(const std::string& path);

    std::vector<SeenRequest> Requests() const;
    std::vector<std::string> Targets() const;

private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<SeenRequest> requests_;
};

// A loopback port on which nothing listens (a connection to it is refused).
int UnusedLoopbackPort();

}  // namespace testsupport
