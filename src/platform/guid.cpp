#include "platform/guid.h"

#include <random>

namespace quill::platform {

Guid NewGuid() {
    thread_local std::mt19937_64 rng{std::random_device{}()};
    uint64_t a = rng(), b = rng();
    Guid g{};
    g.data1 = static_cast<uint32_t>(a >> 32);
    g.data2 = static_cast<uint16_t>(a >> 16);
    g.data3 = static_cast<uint16_t>((a & 0x0FFF) | 0x4000);
    for (int i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(b >> (8 * i));
    g.data4[0] = static_cast<uint8_t>((g.data4[0] & 0x3F) | 0x80);
    return g;
}

}  // namespace quill::platform
