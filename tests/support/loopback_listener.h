// A plain TCP socket on a free loopback port: something the start-up probe can reach, or, closed,
// a port where nothing listens.
#pragma once

namespace testsupport {

class LoopbackListener {
public:
    explicit LoopbackListener(bool listening = true);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // Stops listening; the port stays known and, for a while, unused.
    void Close();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace testsupport
