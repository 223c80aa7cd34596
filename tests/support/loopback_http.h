// A minimal HTTP/1.1 client for tests against a server on the loopback interface: one request
// per connection, no library needed, so any test program can use it.
#pragma once

#include <map>
#include <string>

namespace testsupport {

struct LoopbackReply {
    int status = -1;  // -1: no connection, or the connection ended without a reply
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
};

// Sends one request to 127.0.0.1:port and reads the whole reply (at most timeoutSeconds per read).
LoopbackReply LoopbackRequest(int port, const std::string& method, const std::string& target,
                              const std::string& body = std::string(),
                              const std::string& contentType = "application/x-www-form-urlencoded",
                              int timeoutSeconds = 30);

inline LoopbackReply LoopbackGet(int port, const std::string& target) {
    return LoopbackRequest(port, "GET", target);
}
inline LoopbackReply LoopbackPost(int port, const std::string& target, const std::string& body) {
    return LoopbackRequest(port, "POST", target, body);
}

// Every byte other than an ASCII letter or digit as "%" and two upper-case hexadecimal digits.
std::string UrlEncode(const std::string& bytes);

}  // namespace testsupport
