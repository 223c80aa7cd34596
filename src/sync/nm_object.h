// The client's record of one comment (CAnnot) or reply (CReply) it knows, keyed by unique name.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>
#include <vector>

#include "sync/fdf/binary_content.h"

namespace quill::sync {

class CNMObject {
public:
    CNMObject() = default;
    virtual ~CNMObject();
    CNMObject(const CNMObject&) = delete;
    CNMObject& operator=(const CNMObject&) = delete;

    std::string uniqueName;
    std::string inReplyTo;  // the parent comment's unique name; empty for a comment
    int page = -1;          // 0-based
    int annotIndex = -1;    // the control's index on the page; comments only
    std::unique_ptr<BinaryContent> content;
    CNMObject* parent = nullptr;      // on a reply
    std::vector<CNMObject*> replies;  // on a comment, in order
};

// Codes of CAnnot::objectKind and CAnnot::subtypeCode, from the control's names.
int AnnotKindFromTypeName(const std::string& typeName);           // "Annot" 1, "EmbeddedFile" 2
int AnnotSubtypeFromControlName(const std::string& subtypeName);  // "Text" 1 ... "Line" 5

class CAnnot : public CNMObject {
public:
    ~CAnnot() override;

    int objectKind = 0;
    int subtypeCode = 0;
    double date = 0.0;  // the control's ModDate, an automation date
};

class CReply : public CNMObject {
public:
    ~CReply() override;
};

}  // namespace quill::sync
