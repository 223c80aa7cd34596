// Finding a comment's annotation in the viewer control by its unique name.
#pragma once
#include "sync/sync_names.h"

#include <string>

#include "control/pdf_page.h"
#include "sync/nm_object.h"
#include "sync/page_annot_map.h"

namespace quill::control {
class PdfViewerControl;
}

namespace quill::sync {

// The annotation of the page that carries uniqueName. A record's index is only a hint: a
// merge or a failed import can leave it pointing at another comment, so the annotation at
// hint is taken only when it carries the name, and the page is searched otherwise. An
// invalid handle when the page holds no annotation of that name (or the name is empty).
control::PdfAnnot FindAnnotByName(const control::PdfPage& page, const std::string& uniqueName,
                                  int hint = -1);

// The annotation of a comment record: its name on its page, its index as the hint.
control::PdfAnnot AnnotOfRecord(control::PdfViewerControl& control, const CNMObject& record);

// The comment record of the annotation at annotIndex of the page: the record the page map
// holds at that index when it carries the annotation's name, else the comment record of
// that name (the index was out of step); nullptr when there is none. Without a valid
// annotation the index alone decides.
CNMObject* CommentRecordAt(const PageAnnotMap& maps, int page, int annotIndex,
                           const control::PdfAnnot& annot);

}  // namespace quill::sync
