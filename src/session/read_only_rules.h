// Which comments and replies the reviewer may change: the viewer's read-only flags.
#pragma once
#include "session/session_names.h"

#include "session/reviewer_role.h"

namespace quill::sync {
class PageAnnotMap;
}

namespace quill::control {
class PdfViewerControl;
class PdfReplyList;
}  // namespace quill::control

namespace quill::session {

// Nothing for the initiator. Otherwise lock false makes every recorded comment changeable;
// lock true locks them all for class "03", else those of another author of another
// discipline, and then sets the replies of every annotation with SetReplyReadOnly.
void ApplyReadOnlyRules(control::PdfViewerControl& control, const PageAnnotMap& maps,
                        const ReviewerRole& role, bool lock);

// Every reply (and, depth first, the replies of a reply) is read-only for class "03", else
// exactly when another reviewer wrote it.
void SetReplyReadOnly(const control::PdfReplyList& replies, const ReviewerRole& role);

}  // namespace quill::session
