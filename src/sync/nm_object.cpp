#include "sync/nm_object.h"
#include "sync/sync_names.h"

namespace quill::sync {

CNMObject::~CNMObject() = default;
CAnnot::~CAnnot() = default;
CReply::~CReply() = default;

int AnnotKindFromTypeName(const std::string& typeName) {
    if (typeName == "Annot") return 1;
    if (typeName == "EmbeddedFile") return 2;
    return 0;
}

int AnnotSubtypeFromControlName(const std::string& name) {
    // The control names the attachment with a blank, unlike the FDF token.
    if (name == "Text") return 1;
    if (name == "Popup") return 2;
    if (name == "Polygon") return 3;
    if (name == "File Attachment") return 4;
    if (name == "Line") return 5;
    return 0;
}

}  // namespace quill::sync
