// The whole server: database, stores, the review listener and the content store listener.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "server/server_options.h"

namespace quillserver {

class ReviewServer {
public:
    explicit ReviewServer(ServerOptions options);
    ~ReviewServer();
    ReviewServer(const ReviewServer&) = delete;
    ReviewServer& operator=(const ReviewServer&) = delete;

    // Opens the database, seeds, binds both ports and starts serving on background threads.
    // False with a message when something failed.
    bool Start(std::string& error);
    // Blocks until Stop is called or a listener ends.
    void Wait();
    void Stop();

    int reviewPort() const { return reviewPort_; }
    int ecmPort() const { return ecmPort_; }

private:
    struct Parts;
    ServerOptions options_;
    std::unique_ptr<Parts> parts_;
    std::thread reviewThread_;
    std::thread ecmThread_;
    int reviewPort_ = -1;
    int ecmPort_ = -1;
};

}  // namespace quillserver
