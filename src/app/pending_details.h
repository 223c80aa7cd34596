// The comment ids whose server-side details are created or deleted at the next publish.
#pragma once

#include <map>
#include <set>
#include <string>

namespace quill::app {

struct PendingDetails {
    // Comment ids whose detail is created at the next publish.
    std::set<std::string> creates;
    // Comment id to flag: 1 deletes the comment's detail at the next publish, 0 keeps it.
    std::map<std::string, int> deletes;

    void MarkCreate(const std::string& id) { creates.insert(id); }
    void SetDelete(const std::string& id, int flag) { deletes[id] = flag; }
};

// The process-wide tables (pendingDetailCreates, pendingDetailDeletes), owned by the
// application object.
PendingDetails& AppPendingDetails();

}  // namespace quill::app
