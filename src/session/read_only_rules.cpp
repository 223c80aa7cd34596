#include "session/read_only_rules.h"
#include "session/session_names.h"

#include "control/pdf_viewer_control.h"
#include "sync/annot_by_name.h"
#include "sync/page_annot_map.h"

namespace quill::session {

void ApplyReadOnlyRules(control::PdfViewerControl& control, const PageAnnotMap& maps,
                        const ReviewerRole& role, bool lock) {
    if (role.isOpener) return;
    for (int page = 0; page < maps.PageCount(); ++page) {
        control::PdfPage pdfPage = control.GetPage(page);
        for (const auto& [name, record] : maps.Page(page)) {
            if (!record->inReplyTo.empty()) continue;  // replies follow their own rule below
            control::PdfAnnot annot = FindAnnotByName(pdfPage, name, record->annotIndex);
            if (!annot.IsValid()) continue;
            if (!lock) {
                annot.SetReadOnly(false);
            } else if (role.patcpClass03) {
                annot.SetReadOnly(true);
            } else if (IsOtherDiscipline(annot.Author(), role)) {
                annot.SetReadOnly(true);
            }
        }
    }
    if (!lock) return;
    const int pages = control.PageCount();
    for (int page = 0; page < pages; ++page) {
        control::PdfPage pdfPage = control.GetPage(page);
        const int count = pdfPage.AnnotCount();
        for (int i = 0; i < count; ++i) SetReplyReadOnly(pdfPage.GetAnnot(i).GetReplies(), role);
    }
}

void SetReplyReadOnly(const control::PdfReplyList& replies, const ReviewerRole& role) {
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        control::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        // The initiator may answer and change every reply of the review.
        reply.SetReadOnly(!role.isOpener &&
                          (role.patcpClass03 || reply.GetAuthor() != role.authorName));
        control::PdfReplyList own = reply.GetReplies();
        if (own.ReplyCount() > 0) SetReplyReadOnly(own, role);
    }
}

}  // namespace quill::session
