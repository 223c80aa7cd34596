// One indirect object of an FDF file, as the client's scanner splits it.
#pragma once

#include <memory>
#include <string>

#include "sync/binary_content.h"
#include "sync/byte_buffer.h"

class FdfDocument;

// Values of CFDFContent::kind and CFDFContent::subtype.
enum FdfKind { kFdfKindOther = 0, kFdfKindAnnot = 1, kFdfKindEmbeddedFile = 2 };
enum FdfSubtype {
    kFdfSubtypeOther = 0,
    kFdfSubtypeText = 1,
    kFdfSubtypePopup = 2,
    kFdfSubtypePolygon = 3,
    kFdfSubtypeFileAttachment = 4,
};

// Objects of a parsed FdfDocument belong to the document, and their raw texts and stream
// data may point into its file bytes: they must not outlive it. Objects built for writing
// (CreateFDFContent) own their popup and embedded file.
class CFDFContent {
public:
    CFDFContent() = default;
    virtual ~CFDFContent();
    CFDFContent(const CFDFContent&) = delete;
    CFDFContent& operator=(const CFDFContent&) = delete;

    // A new BinaryContent with copies of the raw text, the popup's raw text (none when
    // there is no popup or an empty one) and, for an attachment, the embedded file's.
    virtual std::unique_ptr<BinaryContent> CreateBinaryContent() const;

    // The popup when there is one with text: an empty popup counts as none.
    CFDFContent* PopupOrNull() const;
    // Takes ownership of a popup (objects built for writing).
    void AdoptPopup(std::unique_ptr<CFDFContent> popup);

    std::string objectId;      // "5 0"
    int kind = kFdfKindOther;
    int subtype = kFdfSubtypeOther;
    int page = -1;
    std::string creationDate;
    std::string author;
    std::string uniqueName;
    std::string inReplyTo;
    std::string parent;        // object id of the annotation a popup belongs to
    int length = 0;            // stream length of an embedded file
    ByteBuffer streamData;     // the stream bytes of an embedded-file object
    ByteBuffer rawText;
    CFDFContent* relatedObject = nullptr;  // popup: its annotation; embedded file: its attachment
    CFDFContent* popup = nullptr;
    FdfDocument* document = nullptr;

protected:
    std::unique_ptr<CFDFContent> ownedPopup_;
};
