#include "session/resolution_sheet_source.h"

#include "control/pdf_annot.h"
#include "control/pdf_page.h"
#include "control/pdf_reply.h"
#include "control/pdf_reply_list.h"
#include "control/pdf_viewer_control.h"
#include "review/review_replies.h"
#include "session/comment_entries.h"
#include "viewer/engine/engine_control.h"

namespace quill::session {

namespace {

// Replies of replies deeper than this are left out: a damaged document could chain them
// without end.
constexpr int kMaxReplyDepth = 32;

void AddReplies(const control::PdfReplyList& list, int depth,
                std::vector<std::pair<std::string, std::string>>& replies) {
    if (depth > kMaxReplyDepth) return;
    const int32_t count = list.ReplyCount();
    for (int32_t i = 0; i < count; ++i) {
        const control::PdfReply reply = list.GetReply(i);
        if (!reply.IsValid()) continue;
        replies.emplace_back(reply.GetAuthor(), reply.GetText());
        AddReplies(reply.GetReplies(), depth + 1, replies);
    }
}

}  // namespace

void AddSheetReplies(const control::PdfReplyList& list,
                     std::vector<std::pair<std::string, std::string>>& replies) {
    AddReplies(list, 0, replies);
}

std::vector<SheetComment> SheetCommentsFromControl(control::PdfViewerControl& control) {
    std::vector<SheetComment> comments;
    const int32_t pages = control.PageCount();
    for (int32_t p = 0; p < pages; ++p) {
        const control::PdfPage page = control.GetPage(p);
        const int32_t count = page.AnnotCount();
        for (int32_t i = 0; i < count; ++i) {
            const control::PdfAnnot annot = page.GetAnnot(i);
            if (!annot.IsValid()) continue;
            SheetComment comment;
            comment.name = annot.GetName();
            comment.annotId = annot.Id();
            comment.pageIndex = p;
            comment.order = i;
            comment.author = annot.Author();
            comment.date = FormatCommentDate(annot.ModDate());
            comment.subject = annot.Subject();
            comment.contents = annot.GetContents();
            AddSheetReplies(annot.GetReplies(), comment.replies);
            comments.push_back(std::move(comment));
        }
    }
    return comments;
}

void FillSheetPositions(const engine::EngineControl& engine, std::vector<SheetComment>& comments) {
    for (SheetComment& comment : comments) {
        if (comment.annotId == 0 || engine.AnnotPageOf(comment.annotId) != comment.pageIndex)
            continue;
        const engine::RectF rect = engine.GeometryOf(comment.annotId).rect.Normalized();
        comment.hasPosition = true;
        comment.x = rect.x1;
        comment.y = rect.y2;  // page space runs upwards: y2 is the top
    }
}

bool ReadSheetDecisions(const std::string& reply, std::map<std::string, std::string>& decisions,
                        std::string* error) {
    std::vector<ReviewDecision> read;
    if (!ReadReviewDecisions(reply, read)) {
        if (error) *error = "not a cmntReview reply";
        return false;
    }
    decisions.clear();
    for (const ReviewDecision& decision : read) decisions[decision.cmntId] = decision.decision;
    return true;
}

}  // namespace quill::session
