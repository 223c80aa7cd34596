// Feeds arbitrary reply bytes to the reader of the feedback summary.
#include <cstddef>
#include <cstdint>
#include <string>

#include "review/feedback_summary_reply.h"

using namespace quill::review;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    FeedbackSummaryTexts texts;
    ReadFeedbackSummary(reply, texts);
    return 0;
}
