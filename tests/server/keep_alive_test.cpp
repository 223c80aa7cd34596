// Connections kept open between requests (a proxy's, a browser's) never keep other clients
// waiting: idle ones wait without a worker, are closed after their idle limit, and requests sent
// back to back on one connection are all answered.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "support/loopback_http.h"
#include "support/review_server_process.h"

using testsupport::ReviewServerProcess;

namespace {

const char kRevision[] = "/Comm/revision.do?docId=1&rev=0&squrvwmno=1&rvwfileseq=1";
const char kRevisionReply[] = "{\"revno\":\"0\"}";
// Only a guard against hanging: a sound server answers in milliseconds.
constexpr int kHangGuardMs = 10000;

// A raw client connection that the test keeps open as long as it likes.
class OpenConnection {
public:
    explicit OpenConnection(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~OpenConnection() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenConnection(const OpenConnection&) = delete;
    OpenConnection& operator=(const OpenConnection&) = delete;

    bool connected() const { return fd_ >= 0; }

    bool Send(const std::string& bytes) {
        return fd_ >= 0 && ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                               static_cast<ssize_t>(bytes.size());
    }

    // Reads one whole reply (headers and a Content-Length body); its body, or "" when the
    // connection ended or stayed silent past the hang guard. Bytes past it stay for the next.
    std::string ReadReply(std::string* headers = nullptr) {
        for (int reads = 0; reads < 1000; ++reads) {
            size_t end = pending_.find("\r\n\r\n");
            if (end != std::string::npos) {
                std::string head = pending_.substr(0, end);
                size_t length = 0;
                size_t at = head.find("Content-Length: ");
                if (at != std::string::npos) length = std::stoul(head.substr(at + 16));
                if (pending_.size() >= end + 4 + length) {
                    std::string body = pending_.substr(end + 4, length);
                    pending_.erase(0, end + 4 + length);
                    if (headers) *headers = head;
                    return body;
                }
            }
            if (!Receive(kHangGuardMs)) return "";
        }
        return "";
    }

    // True when the server has ended the connection (within waitMs).
    bool EndedByServer(int waitMs) {
        for (int reads = 0; reads < 1000; ++reads) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, waitMs) <= 0) return false;
            char buf[512];
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) return true;
            pending_.append(buf, static_cast<size_t>(n));
        }
        return false;
    }

private:
    bool Receive(int waitMs) {
        pollfd p{fd_, POLLIN, 0};
        if (fd_ < 0 || ::poll(&p, 1, waitMs) <= 0) return false;
        char buf[4096];
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) return false;
        pending_.append(buf, static_cast<size_t>(n));
        return true;
    }

    int fd_ = -1;
    std::string pending_;
};

std::string Request(const std::string& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

}  // namespace

TEST(ServerKeepAlive, IdleConnectionsDoNotKeepANewcomerWaiting) {
    constexpr int kThreads = 2;
    ReviewServerProcess server;
    ReviewServerProcess::Options options;
    // Idle connections may stay far longer than the test runs, so only an idle connection that
    // holds a worker could keep the newcomer out.
    options.extraArgs = {"--threads", std::to_string(kThreads), "--keep-alive", "120"};
    ASSERT_TRUE(server.Start(options)) << server.error();

    // Three times as many open connections as workers: some answered once and kept alive, the
    // rest opened ahead of use without a request yet, as a proxy does.
    std::vector<std::unique_ptr<OpenConnection>> idle;
    for (int i = 0; i < kThreads; ++i) {
        idle.push_back(std::make_unique<OpenConnection>(server.port()));
        ASSERT_TRUE(idle.back()->Send(Request(kRevision)));
        std::string headers;
        ASSERT_EQ(idle.back()->ReadReply(&headers), kRevisionReply);
        EXPECT_NE(headers.find("Keep-Alive: timeout=120"), std::string::npos) << headers;
    }
    for (int i = 0; i < 2 * kThreads; ++i) {
        idle.push_back(std::make_unique<OpenConnection>(server.port()));
        ASSERT_TRUE(idle.back()->connected());
    }

    // A newcomer is answered while all of them are still open.
    auto fresh =
        testsupport::LoopbackRequest(server.port(), "GET", kRevision, "", "", kHangGuardMs / 1000);
    ASSERT_EQ(fresh.status, 200);
    EXPECT_EQ(fresh.body, kRevisionReply);
    OpenConnection other(server.port());
    ASSERT_TRUE(other.Send(Request(kRevision)));
    EXPECT_EQ(other.ReadReply(), kRevisionReply);

    // And every idle connection still serves its next request.
    for (auto& connection : idle) {
        EXPECT_FALSE(connection->EndedByServer(0));
        ASSERT_TRUE(connection->Send(Request(kRevision)));
        EXPECT_EQ(connection->ReadReply(), kRevisionReply);
    }
}

TEST(ServerKeepAlive, RequestsSentBackToBackAreAllAnsweredInOrder) {
    ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();
    OpenConnection connection(server.port());
    // Three requests in one write: the later ones arrive with the first and wait in its buffer.
    ASSERT_TRUE(connection.Send(Request(kRevision) + Request("/__health") + Request(kRevision)));
    EXPECT_EQ(connection.ReadReply(), kRevisionReply);
    EXPECT_EQ(connection.ReadReply(), "ok");
    EXPECT_EQ(connection.ReadReply(), kRevisionReply);
    // One more after a pause, on the same connection.
    ASSERT_TRUE(connection.Send(Request("/__health")));
    EXPECT_EQ(connection.ReadReply(), "ok");
}

TEST(ServerKeepAlive, ConnectionsEndAfterTheirIdleLimitAndTheirLastRequest) {
    ReviewServerProcess server;
    ReviewServerProcess::Options options;
    options.extraArgs = {"--keep-alive", "1"};
    ASSERT_TRUE(server.Start(options)) << server.error();

    OpenConnection silent(server.port());
    ASSERT_TRUE(silent.connected());
    EXPECT_TRUE(silent.EndedByServer(kHangGuardMs));

    OpenConnection answered(server.port());
    ASSERT_TRUE(answered.Send(Request(kRevision)));
    EXPECT_EQ(answered.ReadReply(), kRevisionReply);
    EXPECT_TRUE(answered.EndedByServer(kHangGuardMs));

    // A connection takes a bounded number of requests; the last reply says it closes.
    OpenConnection busy(server.port());
    std::string headers;
    int answered_count = 0;
    for (int i = 0; i < 100 && headers.find("Connection: close") == std::string::npos; ++i) {
        if (!busy.Send(Request(kRevision)) || busy.ReadReply(&headers) != kRevisionReply) break;
        ++answered_count;
    }
    EXPECT_NE(headers.find("Connection: close"), std::string::npos);
    EXPECT_GE(answered_count, 2);
    EXPECT_TRUE(busy.EndedByServer(kHangGuardMs));
    EXPECT_EQ(server.Get("/__health").body, "ok");
}
