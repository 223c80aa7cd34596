// The launch values and folder that the autosave worker needs for its requests and files.
#pragma once
#include "sync/sync_names.h"

#include <string>

namespace quill::app {
struct LaunchParams;
}
namespace quill::review {
class ReviewSession;
}

namespace quill::sync {

struct AutosaveSettings {
    std::string host;           // HOST
    int port = 0;               // PORT
    std::string docId;          // docId
    std::string targetDocId;    // targetDocId, used while publishing into the parent review
    std::string userId;         // USERID
    std::string workingFolder;  // temporary FDF files go here
    // The review state shared with the review commands (not owned); the worker keeps one of
    // its own when none is named (tests of several clients in one process).
    ReviewSession* session = nullptr;

    static AutosaveSettings From(const LaunchParams& params, const std::string& workingFolder);
};

}  // namespace quill::sync
