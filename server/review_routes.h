// The review endpoints under /Comm/ (revision, publish, decisions, finishes, comment details,
// merges, close), the document download and the conversion-result call.
#pragma once

#include <httplib.h>

#include "server/review_services.h"

namespace quillserver {

void AddReviewRoutes(httplib::Server& svr, ReviewServices& services);

// The document key of a review file: review number and file sequence written one after the other.
std::string DocIdOf(int squrvwmno, int rvwfileseq);

// True for a plain document name: letters, digits, "-", "_", "." only, no leading ".", ends ".pdf".
bool IsSafeDocumentName(const std::string& name);

}  // namespace quillserver
