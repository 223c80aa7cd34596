// Finding a reply of a comment in the viewer control: by its name, or the newest one.
#pragma once
#include "session/session_names.h"

#include <string>
#include <vector>

#include "control/pdf_reply_list.h"

namespace quill::sync {
class PageAnnotMap;
}

namespace quill::session {

// The newest reply under the list, replies of replies included: a reply wins when its date
// is later than the winner's (no winner counts as 0); equal dates keep the earlier winner.
// An invalid handle when no reply is dated after 0.
control::PdfReply NewestReply(const control::PdfReplyList& replies);

// The reply named uniqueName under the list, depth first; an invalid handle when none is.
control::PdfReply FindReplyByName(const control::PdfReplyList& replies,
                                  const std::string& uniqueName);

// The reply the event names, else the newest one (a name the control does not report).
control::PdfReply ReplyOfEvent(const control::PdfReplyList& replies, const std::string& uniqueName);

// The names of the recorded replies under the reply named uniqueName on the page (found
// through their in-reply-to names), each after its own replies: deepest first.
std::vector<std::string> RecordedDescendants(const PageAnnotMap& maps, int page,
                                             const std::string& uniqueName);

}  // namespace quill::session
