#include "server/http_service.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "server/json_text.h"

namespace quillserver {

namespace {

constexpr int kListenBacklog = 1024;

int PortOf(const sockaddr_storage& addr) {
    if (addr.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
    if (addr.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
    return -1;
}

// Finds the connected socket of this request by its two ports and shuts it down, so that the
// client sees the connection end without any reply.
void DropConnection(const httplib::Request& req) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        int fd = std::atoi(entry->d_name);
        if (fd <= 2) continue;
        sockaddr_storage peer{}, local{};
        socklen_t pl = sizeof peer, ll = sizeof local;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &pl) != 0) continue;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &ll) != 0) continue;
        if (PortOf(peer) == req.remote_port && PortOf(local) == req.local_port) {
            linger hard{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            shutdown(fd, SHUT_RDWR);
            break;
        }
    }
    closedir(dir);
}

}  // namespace

// httplib's server with the listen queue made deep enough for hundreds of clients at once.
class HttpService::Listener : public httplib::Server {
public:
    bool Deepen() {
        socket_t sock = svr_sock_;
        return sock != INVALID_SOCKET && ::listen(sock, kListenBacklog) == 0;
    }
};

bool IsLoopbackPeer(const httplib::Request& req) {
    const std::string& a = req.remote_addr;
    return a.rfind("127.", 0) == 0 || a == "::1" || a.rfind("::ffff:127.", 0) == 0;
}

HttpService::HttpService(FaultInjector& faults, int threads, size_t maxBodyBytes, bool verbose)
    : listener_(std::make_unique<Listener>()), faults_(faults) {
    auto& svr = *listener_;
    svr.new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<size_t>(threads));
    };
    svr.set_payload_max_length(maxBodyBytes);
    svr.set_keep_alive_timeout(2);
    svr.set_read_timeout(10, 0);
    svr.set_write_timeout(30, 0);
    svr.set_tcp_nodelay(true);
    svr.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        // The admin paths stay reachable whatever faults are set, so a test can clear them.
        if (req.path.rfind("/__", 0) == 0 || faults_.Empty())
            return httplib::Server::HandlerResponse::Unhandled;
        if (auto delay = faults_.Take(req.path, FaultKind::Delay))
            std::this_thread::sleep_for(std::chrono::milliseconds(delay->delayMs));
        if (faults_.Take(req.path, FaultKind::Drop)) {
            DropConnection(req);
            res.status = 500;
            return httplib::Server::HandlerResponse::Handled;
        }
        if (auto status = faults_.Take(req.path, FaultKind::Status)) {
            res.status = status->status;
            res.set_content("injected fault", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (faults_.Take(req.path, FaultKind::Garbage)) {
            res.status = 200;
            static const char kGarbage[] = "\x7f\x01<html>garbage\xff\xfe{{\"";
            res.set_content(std::string(kGarbage, sizeof kGarbage - 1), "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    svr.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            std::string what = "internal error";
            try {
                if (ep) std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            res.status = 500;
            res.set_content(ErrorJson(500, what), "application/json");
        });
    svr.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 413)
            res.set_content("ERROR: request body too large", "text/plain");
        else if (res.status == 404)
            res.set_content("ERROR: not found", "text/plain");
        else if (res.status == 400)
            res.set_content("ERROR: bad request", "text/plain");
    });
    if (verbose) {
        svr.set_logger([](const httplib::Request& req, const httplib::Response& res) {
            std::fprintf(stderr, "%s %s %s -> %d (%zu bytes)\n", req.remote_addr.c_str(),
                         req.method.c_str(), req.path.c_str(), res.status, res.body.size());
        });
    }
}

HttpService::~HttpService() = default;

httplib::Server& HttpService::server() { return *listener_; }

int HttpService::Bind(const std::string& host, int port) {
    int bound = port;
    if (port == 0) {
        bound = listener_->bind_to_any_port(host);
        if (bound <= 0) return -1;
    } else if (!listener_->bind_to_port(host, port)) {
        return -1;
    }
    listener_->Deepen();
    return bound;
}

bool HttpService::Run() { return listener_->listen_after_bind(); }

void HttpService::Stop() { listener_->stop(); }

}  // namespace quillserver
