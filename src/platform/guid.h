// Fresh random identifiers.
#pragma once

#include <array>
#include <cstdint>

namespace quill::platform {

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    std::array<uint8_t, 8> data4;
};

// A random (version 4) GUID.
Guid NewGuid();

}  // namespace quill::platform
