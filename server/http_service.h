// One HTTP listener of the server: a bounded thread pool that idle kept-alive connections do not
// hold, a deep listen queue, a body size limit, and the injected faults applied before any route
// runs.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "server/fault_injector.h"

namespace quillserver {

struct HttpSettings {
    int threads = 32;
    int keepAliveSeconds = 2;  // idle time after which a kept-alive connection is closed
    size_t maxBodyBytes = 0;
    bool verbose = false;
};

class HttpService {
public:
    HttpService(FaultInjector& faults, const HttpSettings& settings);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    httplib::Server& server();
    // Binds and starts listening; returns the port (the chosen one for port 0), or -1.
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns false when the listener failed.
    bool Run();
    void Stop();

private:
    class Listener;
    std::unique_ptr<Listener> listener_;
    FaultInjector& faults_;
};

// True for a peer on the loopback interface.
bool IsLoopbackPeer(const httplib::Request& req);

}  // namespace quillserver
