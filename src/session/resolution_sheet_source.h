// The resolution sheet's comments read straight from a document, and decisions from a file.
#pragma once
#include "session/session_names.h"

#include <map>
#include <string>
#include <vector>

#include "session/resolution_sheet.h"

namespace quill::control {
class PdfReplyList;
class PdfViewerControl;
}  // namespace quill::control

namespace quill::engine {
class EngineControl;
}

namespace quill::session {

// Adds the replies of list and their replies, depth first, as author and text.
void AddSheetReplies(const control::PdfReplyList& list,
                     std::vector<std::pair<std::string, std::string>>& replies);

// Every annotation of every page, in page and list order, with its replies depth first.
std::vector<SheetComment> SheetCommentsFromControl(control::PdfViewerControl& control);

// Sets each comment's position (the top left corner of its rectangle, in points) from the
// engine, for the comments whose annotId it knows on their page.
void FillSheetPositions(const engine::EngineControl& engine, std::vector<SheetComment>& comments);

// The decisions of a "REVIEW" reply as the server sends it ({"cmntReview":[...]}): comment
// name to "Y", "N" or "C". False, with a reason, when the text is not such a reply.
bool ReadSheetDecisions(const std::string& reply, std::map<std::string, std::string>& decisions,
                        std::string* error = nullptr);

}  // namespace quill::session
