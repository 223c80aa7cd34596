#include "session/comment_entries.h"
#include "session/session_names.h"

#include <cmath>
#include <cstdio>

#include "control/pdf_viewer_control.h"
#include "sync/annot_by_name.h"
#include "sync/nm_object.h"
#include "viewer/engine/pdf_date.h"

namespace quill::session {

namespace {
// The range of dates the platform's conversion accepts: years 100 to 9999.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958466.0;
}  // namespace

std::string FormatCommentDate(double automationDate) {
    int y = -1, mo = -1, d = -1, h = -1, mi = -1, s = -1;
    if (std::isfinite(automationDate) && automationDate >= kFirstDate &&
        automationDate < kLastDate) {
        const platform::LocalTime t = engine::LocalFromAutomationDate(automationDate);
        y = t.year;
        mo = t.month;
        d = t.day;
        h = t.hour;
        mi = t.minute;
        s = t.second;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return text;
}

bool EnterComment(CommentIndex& index, control::PdfViewerControl& control, CNMObject& record) {
    control::PdfAnnot annot = AnnotOfRecord(control, record);
    if (!annot.IsValid()) return false;
    CommentEntry& entry = index[record.uniqueName];
    entry.annotIndex = annot.Index();
    entry.pageIndex = record.page;
    entry.author = annot.Author();
    entry.contents = annot.GetContents();
    entry.subject = annot.Subject();
    entry.date = FormatCommentDate(annot.ModDate());
    entry.replyCount = annot.GetReplies().ReplyCount();
    entry.record = &record;
    return true;
}

}  // namespace quill::session
