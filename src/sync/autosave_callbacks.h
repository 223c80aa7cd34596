// The nine callback slots through which the viewer dialog shows merged changes.
#pragma once
#include "sync/sync_names.h"

#include <functional>
#include <string>

#include "sync/nm_object.h"

namespace quill::sync {

// Handed over by the viewer dialog, in this order. Every record callback returns 0. The
// merge's index bookkeeping relies on OnRemoteAnnotUpdated and OnRemoteRepliesChanged
// removing the comment from its page in the control and importing it again (so that it
// takes the last index of the page), on OnRemoteAnnotDeleted removing it, and on the
// callbacks setting the annotation index of a re-imported or newly created record. While a
// merge runs, the record handed to a callback carries its current index; the indices of the
// other records are brought up to date when the merge ends.
struct AutosaveCallbacks {
    using RecordCallback = std::function<int(CNMObject&)>;

    RecordCallback onRemoteAnnotCreated;     // 1
    RecordCallback onRemoteAnnotUpdated;     // 2
    RecordCallback onRemoteAnnotDeleted;     // 3: a temporary record, destroyed after the call
    RecordCallback slot4;                    // 4: does nothing
    RecordCallback onRemoteRepliesChanged;   // 5: the comment whose replies changed
    RecordCallback slot6;                    // 6: does nothing
    RecordCallback slot7;                    // 7: left empty
    RecordCallback onRemoteAnnotRegistered;  // 8: a comment AddCommentFromFdf has just queued
    // 9: writes the comment (and its descendants) to a new temporary FDF file and returns its
    // path; importing it is the caller's.
    std::function<std::string(CAnnot&)> showCommentInViewer;
};

}  // namespace quill::sync
