// The host of the document-conversion service, chosen by the KESTRON launch value.
#pragma once
#include "review/review_names.h"

#include <string>

namespace quill::review {

// "DEV", "RUN", "TEST" and "NGR" name the four environments; any other value is taken
// as the host name itself (it may carry ":port").
std::string ConversionHost(const std::string& kestron);

}  // namespace quill::review
