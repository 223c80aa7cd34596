// One HTTP listener of the server: a bounded thread pool, a deep listen queue, a body size
// limit, and the injected faults applied before any route runs.
#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "server/fault_injector.h"

namespace quillserver {

class HttpService {
public:
    HttpService(FaultInjector& faults, int threads, size_t maxBodyBytes, bool verbose);
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
