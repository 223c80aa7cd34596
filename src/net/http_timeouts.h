// How long a request may wait for a connection, and how long a transfer may stall.
#pragma once

namespace quill::net {

struct HttpTimeouts {
    // Seconds allowed to establish the connection.
    long connectSeconds = 10;
    // A transfer that moves less than one byte a second for this long fails; a slow but
    // moving transfer runs as long as it needs.
    long stallSeconds = 60;
};

}  // namespace quill::net
