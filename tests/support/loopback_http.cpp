#include "support/loopback_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "codec/percent_encoding.h"

#include <cctype>
#include <cstdlib>

using namespace quill;
using namespace quill::codec;

namespace testsupport {

namespace {

bool SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string UrlEncode(const std::string& bytes) { return PercentEncode(bytes); }

LoopbackReply LoopbackRequest(int port, const std::string& method, const std::string& target,
                              const std::string& body, const std::string& contentType,
                              int timeoutSeconds) {
    LoopbackReply reply;
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return reply;
    timeval tv{timeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return reply;
    }
    std::string head = method + " " + target +
                       " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                       "\r\nConnection: close\r\n";
    if (method == "POST" || method == "PUT" || !body.empty())
        head += "Content-Type: " + contentType +
                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
    head += "\r\n";
    // A server that refuses the body early may close before all of it is sent; the reply counts.
    if (SendAll(fd, head)) SendAll(fd, body);
    std::string raw;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    size_t headerEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 5, "HTTP/") != 0 || headerEnd == std::string::npos) return reply;
    size_t sp = raw.find(' ');
    reply.status = std::atoi(raw.c_str() + sp + 1);
    size_t pos = raw.find("\r\n") + 2;
    while (pos < headerEnd) {
        size_t eol = raw.find("\r\n", pos);
        std::string line = raw.substr(pos, eol - pos);
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            size_t v = line.find_first_not_of(' ', colon + 1);
            reply.headers[name] = v == std::string::npos ? "" : line.substr(v);
        }
        pos = eol + 2;
    }
    reply.body = raw.substr(headerEnd + 4);
    auto length = reply.headers.find("content-length");
    if (length != reply.headers.end()) {
        size_t expected = std::strtoull(length->second.c_str(), nullptr, 10);
        // A reply cut short is a dropped connection, not a reply.
        if (reply.body.size() < expected)
            reply.status = -1;
        else
            reply.body.resize(expected);
    }
    return reply;
}

}  // namespace testsupport
