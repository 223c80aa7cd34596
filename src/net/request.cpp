#include "net/request.h"
#include "net/net_names.h"

#include <cstring>

namespace quill::net {

int Request::ReadReplyText(size_t limit) {
    replyText_.clear();
    char piece[4096];
    for (;;) {
        int n = Read(piece, sizeof piece - 1);
        if (n < 0) return -1;
        if (n == 0) return 1;
        const void* zero = std::memchr(piece, '\0', static_cast<size_t>(n));
        size_t take = zero ? static_cast<size_t>(static_cast<const char*>(zero) - piece)
                           : static_cast<size_t>(n);
        if (limit && replyText_.size() + take > limit) {
            replyText_.clear();
            errorCode_ = -9;
            errorText_ = "ERROR: Reply Too Large(" + std::to_string(limit) + " bytes at most)";
            return -1;
        }
        replyText_.append(piece, take);
    }
}

}  // namespace quill::net
