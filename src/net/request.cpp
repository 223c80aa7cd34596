#include "net/request.h"

#include <cstring>

int Request::ReadReplyText() {
    replyText_.clear();
    char piece[4096];
    for (;;) {
        int n = Read(piece, sizeof piece - 1);
        if (n < 0) return -1;
        if (n == 0) return 1;
        const void* zero = std::memchr(piece, '\0', static_cast<size_t>(n));
        size_t take = zero ? static_cast<size_t>(static_cast<const char*>(zero) - piece)
                           : static_cast<size_t>(n);
        replyText_.append(piece, take);
    }
}
