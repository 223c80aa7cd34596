#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testsupport {

LoopbackHttpServer::LoopbackHttpServer() {
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back({req.method, req.target, req.headers});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
}

LoopbackHttpServer::~LoopbackHttpServer() { Stop(); }

void LoopbackHttpServer::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void LoopbackHttpServer::Stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string LoopbackHttpServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LoopbackHttpServer::ServeStallingDocument(const std::string& path) {
    server_.Get(path, [this](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(100000, "application/pdf",
                                 [this](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset == 0) {
                                         sink.write("%PDF-1.7", 8);
                                         return true;
                                     }
                                     while (!stopping())
                                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                     return false;
                                 });
    });
}

std::vector<SeenRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> LoopbackHttpServer::Targets() const {
    std::vector<std::string> targets;
    for (const SeenRequest& r : Requests()) targets.push_back(r.target);
    return targets;
}

int UnusedLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);  // bound but never listening: the port refuses connections until reused
    return port;
}

}  // namespace testsupport
