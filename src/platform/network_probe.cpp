#include "platform/network_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"
#include "platform/registry_store.h"

namespace quill::platform {

std::string ProbeAddress() {
    if (const char* env = std::getenv("QUILLMARK_PROBE_URL"); env && *env) return env;
    RegistryStore store;
    if (auto value = store.ReadValue(kQuillmarkKey, kProbeUrlValue)) return TrimUtf8(*value);
    return {};
}

namespace {
bool ConnectOne(const addrinfo* ai, int timeoutMs) {
    int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) return false;
    bool ok = false;
    if (connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd pfd{fd, POLLOUT, 0};
        if (poll(&pfd, 1, timeoutMs) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ok = getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    close(fd);
    return ok;
}
}  // namespace

bool ProbeConnection(const std::string& url, int timeoutMs) {
    std::string rest = url;
    std::string port = "80";
    if (auto p = rest.find("://"); p != std::string::npos) {
        if (rest.compare(0, p, "https") == 0) port = "443";
        rest = rest.substr(p + 3);
    }
    rest = rest.substr(0, rest.find('/'));
    std::string host = rest;
    if (!rest.empty() && rest[0] == '[') {  // [v6]:port
        auto close = rest.find(']');
        if (close == std::string::npos) return false;
        host = rest.substr(1, close - 1);
        if (close + 1 < rest.size() && rest[close + 1] == ':') port = rest.substr(close + 2);
    } else if (auto c = rest.rfind(':'); c != std::string::npos) {
        host = rest.substr(0, c);
        port = rest.substr(c + 1);
    }
    if (host.empty()) return false;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &res) != 0) return false;
    bool ok = false;
    for (addrinfo* ai = res; ai && !ok; ai = ai->ai_next) ok = ConnectOne(ai, timeoutMs);
    freeaddrinfo(res);
    return ok;
}

}  // namespace quill::platform
