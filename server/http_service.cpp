#include "server/http_service.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "server/connection_stream.h"
#include "server/idle_connections.h"
#include "server/json_text.h"

namespace quillserver {

namespace {

constexpr int kListenBacklog = 1024;
// How long a worker waits for a request before handing the connection to the idle watcher.
constexpr int kFirstRequestGraceMs = 5;
constexpr int kNextRequestGraceMs = 1;

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

// httplib's server with the listen queue made deep enough for hundreds of clients at once, and
// kept-alive connections that wait for their next request without holding a worker: httplib
// would keep a worker on each of them until it times out, so that a few dozen idle connections
// (a proxy's, say) stall every other client for seconds.
class HttpService::Listener : public httplib::Server {
public:
    explicit Listener(int threads) {
        new_task_queue = [this, threads] {
            return new Workers(*this, static_cast<size_t>(std::max(threads, 1)));
        };
    }

    bool Deepen() {
        socket_t sock = svr_sock_;
        return sock != INVALID_SOCKET && ::listen(sock, kListenBacklog) == 0;
    }

private:
    // The worker threads, and the idle connections they hand over while waiting.
    class Workers : public httplib::ThreadPool {
    public:
        Workers(Listener& listener, size_t threads)
            : httplib::ThreadPool(threads),
              idle_(
                  std::chrono::seconds(listener.keep_alive_timeout_sec_),
                  [this, &listener](int fd, size_t requestsLeft) {
                      enqueue([&listener, fd, requestsLeft] { listener.Serve(fd, requestsLeft); });
                  }) {
            listener.workers_ = this;
        }
        // Idle connections end first, so that no wake-up lands in a stopped pool.
        void shutdown() override {
            idle_.Close();
            httplib::ThreadPool::shutdown();
        }
        IdleConnections& idle() { return idle_; }

    private:
        IdleConnections idle_;
    };

    bool process_and_close_socket(socket_t sock) override {
        Serve(sock, keep_alive_max_count_);
        return true;
    }

    // Answers the requests that are there to read, then parks the connection until its next one
    // arrives. A connection ends after its last allowed request, on an error, or when stopping.
    void Serve(int fd, size_t requestsLeft) {
        auto ms = [](time_t sec, time_t usec) {
            return static_cast<int>(sec * 1000 + usec / 1000);
        };
        ConnectionStream stream(fd, ms(read_timeout_sec_, read_timeout_usec_),
                                ms(write_timeout_sec_, write_timeout_usec_));
        bool first = requestsLeft == keep_alive_max_count_;
        while (requestsLeft > 0 && svr_sock_ != INVALID_SOCKET) {
            // A new client's request follows its connection within moments, and a busy client's
            // next request follows the reply: waiting that long here is far cheaper than a round
            // through the watcher.
            if (!stream.HasBuffered() &&
                !WaitReadable(fd, first ? kFirstRequestGraceMs : kNextRequestGraceMs)) {
                Workers* workers = workers_.load();
                if (workers && workers->idle().Park(fd, requestsLeft)) return;
                // No watcher to park with: wait here as long as an idle connection may wait.
                if (svr_sock_ == INVALID_SOCKET ||
                    !WaitReadable(fd, static_cast<int>(keep_alive_timeout_sec_ * 1000)))
                    break;
            }
            const bool last = requestsLeft == 1;
            bool closed = false;
            if (!process_request(stream, last, closed, nullptr) || closed || last) break;
            --requestsLeft;
            first = false;
        }
        CloseConnection(fd);
    }

    std::atomic<Workers*> workers_{nullptr};
};

bool IsLoopbackPeer(const httplib::Request& req) {
    const std::string& a = req.remote_addr;
    return a.rfind("127.", 0) == 0 || a == "::1" || a.rfind("::ffff:127.", 0) == 0;
}

HttpService::HttpService(FaultInjector& faults, const HttpSettings& settings)
    : listener_(std::make_unique<Listener>(settings.threads)), faults_(faults) {
    auto& svr = *listener_;
    svr.set_payload_max_length(settings.maxBodyBytes);
    // How long a kept-alive connection may wait for its next request; also announced to the
    // client in the reply's Keep-Alive header.
    svr.set_keep_alive_timeout(std::max(settings.keepAliveSeconds, 1));
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
    if (settings.verbose) {
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
