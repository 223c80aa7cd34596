#include "viewer/engine/annot_name.h"

#include <cstdio>

#include "platform/guid.h"

namespace quill::engine {

std::string NewAnnotName() {
    const platform::Guid g = platform::NewGuid();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X",
                  static_cast<unsigned>(g.data1), static_cast<unsigned>(g.data2),
                  static_cast<unsigned>(g.data3), g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                  g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return buf;
}

}  // namespace quill::engine
