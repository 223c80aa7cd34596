// Building FDF objects from stored comments and comment records from live annotations.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>

#include "sync/fdf/fdf_content.h"
#include "sync/nm_object.h"

namespace quill::sync {

// The three values of a live annotation of the viewer control that a record needs.
struct LiveAnnotValues {
    double modDate = 0.0;     // ModDate, an automation date
    std::string typeName;     // GetTypeName: "Annot", ...
    std::string subtypeName;  // GetSubtypeName: "Text", "File Attachment", "Line", ...
};

// A CAnnot from a live annotation's values, its page set; the caller sets unique name,
// index and content.
std::unique_ptr<CAnnot> CreateAnnotObject(const LiveAnnotValues& annot, int page);
// An empty CReply on a page.
std::unique_ptr<CReply> CreateAnnotObject(int page);

// A CFDFContent for writing from a stored comment: a CFDFFileAttachment (subtype 4) owning a
// copy of the embedded file when the content has one. The popup is always made, empty when
// the comment has none (an empty popup is never written). Throws BaseException when the
// record has no content.
std::unique_ptr<CFDFContent> CreateFDFContent(const CNMObject& stored);

// A fresh unique name: a GUID as "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper case.
std::string NewCommentName();

// Embedded files larger than this are neither copied nor queued.
inline constexpr size_t kMaxEmbeddedFileBytes = 10'000'000;

// The size of an attachment's embedded file (its stream data, or its Length when the data
// is not at hand); 0 for other objects.
size_t EmbeddedFileSize(const CFDFContent& object);
// True when an attachment's embedded file is larger than kMaxEmbeddedFileBytes.
bool ExceedsEmbeddedFileLimit(const CFDFContent& object);

}  // namespace quill::sync
