#include "session/read_only_rules.h"

#include "control/pdf_viewer_control.h"
#include "sync/page_annot_map.h"

void ApplyReadOnlyRules(viewer::PdfViewerControl& control, const PageAnnotMap& maps,
                        const ReviewerRole& role, bool lock) {
    if (role.isOpener) return;
    for (int page = 0; page < maps.PageCount(); ++page) {
        viewer::PdfPage pdfPage = control.GetPage(page);
        for (const auto& [name, record] : maps.Page(page)) {
            if (!record->inReplyTo.empty()) continue;  // replies follow their own rule below
            viewer::PdfAnnot annot = pdfPage.GetAnnot(record->annotIndex);
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
        viewer::PdfPage pdfPage = control.GetPage(page);
        const int count = pdfPage.AnnotCount();
        for (int i = 0; i < count; ++i) SetReplyReadOnly(pdfPage.GetAnnot(i).GetReplies(), role);
    }
}

void SetReplyReadOnly(const viewer::PdfReplyList& replies, const ReviewerRole& role) {
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        viewer::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        reply.SetReadOnly(role.patcpClass03 || reply.GetAuthor() != role.authorName);
        viewer::PdfReplyList own = reply.GetReplies();
        if (own.ReplyCount() > 0) SetReplyReadOnly(own, role);
    }
}
