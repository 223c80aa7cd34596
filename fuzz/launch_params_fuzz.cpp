// Fuzz target: the client's launch parameter string.
#include <cstdint>
#include <string>

#include "app/launch_params.h"

using namespace quill;
using namespace quill::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LaunchParams params;
    ParseLaunchParams(std::string(reinterpret_cast<const char*>(data), size), params);
    return 0;
}
