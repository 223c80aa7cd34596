// Word-at-a-time searches for the few delimiter bytes of the FDF scanner.
#pragma once
#include "sync/sync_names.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quill::sync {

namespace bytescan {

inline constexpr uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr uint64_t kHighs = 0x8080808080808080ULL;

inline uint64_t Load(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// High bit set in each zero byte; the lowest flagged byte is always a true zero byte.
inline uint64_t ZeroBytes(uint64_t word) { return (word - kOnes) & ~word & kHighs; }

inline uint64_t Spread(unsigned char c) { return kOnes * c; }

// Index within the word of the lowest flagged byte (little-endian load order).
inline size_t FirstFlagged(uint64_t mask) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return static_cast<size_t>(__builtin_clzll(mask)) >> 3;
#else
    return static_cast<size_t>(__builtin_ctzll(mask)) >> 3;
#endif
}

inline bool IsBracket(char c) { return (static_cast<unsigned char>(c) | 2u) == '>'; }

// Position of the first c in [at, end), or end.
inline size_t FindByte(const char* base, size_t at, size_t end, char c) {
    const uint64_t pattern = Spread(static_cast<unsigned char>(c));
    while (end - at >= 8) {
        if (uint64_t m = ZeroBytes(Load(base + at) ^ pattern)) return at + FirstFlagged(m);
        at += 8;
    }
    while (at < end && base[at] != c) ++at;
    return at;
}

// Position of the first "<" or ">" in [at, end), or end.
inline size_t FindBracket(const char* base, size_t at, size_t end) {
    const uint64_t twos = Spread(2), gts = Spread('>');
    while (end - at >= 8) {
        if (uint64_t m = ZeroBytes((Load(base + at) | twos) ^ gts)) return at + FirstFlagged(m);
        at += 8;
    }
    while (at < end && !IsBracket(base[at])) ++at;
    return at;
}

// Position of the first "/", "<" or ">" in [at, end), or end.
inline size_t FindTokenEnd(const char* base, size_t at, size_t end) {
    const uint64_t twos = Spread(2), gts = Spread('>'), slashes = Spread('/');
    while (end - at >= 8) {
        const uint64_t word = Load(base + at);
        if (uint64_t m = ZeroBytes((word | twos) ^ gts) | ZeroBytes(word ^ slashes)) {
            return at + FirstFlagged(m);
        }
        at += 8;
    }
    while (at < end && !IsBracket(base[at]) && base[at] != '/') ++at;
    return at;
}

}  // namespace bytescan

}  // namespace quill::sync
