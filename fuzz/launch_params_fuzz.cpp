// Fuzz target: the client's launch parameter string, in the wire's code page and in UTF-8.
#include <cstdint>
#include <string>

#include "app/launch_params.h"
#include "platform/code_page.h"

using namespace quill;
using namespace quill::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Double-byte reading (a lead byte swallows the next one) and UTF-8 reading walk the same
    // bytes differently; both must stay inside the string.
    for (const char* codePage : {platform::kDefaultCodePage, "UTF-8"}) {
        platform::SetSystemCodePageForTesting(codePage);
        LaunchParams params;
        ParseLaunchParams(text, params);
    }
    return 0;
}
