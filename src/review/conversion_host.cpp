#include "review/conversion_host.h"
#include "review/review_names.h"

namespace quill::review {

std::string ConversionHost(const std::string& kestron) {
    // The one place that knows the conversion service of each environment.
    if (kestron == "DEV") return "conv-dev.orvane.local";
    if (kestron == "RUN") return "conv.orvane.local";
    if (kestron == "TEST") return "conv-test.orvane.local";
    if (kestron == "NGR") return "conv-ngr.orvane.local";
    return kestron;
}

}  // namespace quill::review
