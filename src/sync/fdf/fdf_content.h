// One indirect object of an FDF file, as the client's scanner splits it.
#pragma once
#include "sync/sync_names.h"

#include <forward_list>
#include <memory>
#include <string>
#include <string_view>

#include "sync/fdf/binary_content.h"
#include "sync/fdf/byte_buffer.h"

namespace quill::sync {

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

// Objects of a parsed FdfDocument belong to the document, and their texts, raw texts and
// stream data point into its file bytes: they must not outlive it. Objects built for writing
// (CreateFDFContent) own their texts (Own), popup and embedded file.
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
    // Keeps a text for the life of the object and returns a view of it, for the text
    // fields of objects that no document backs.
    std::string_view Own(std::string text);

    std::string_view objectId;  // "5 0"
    int kind = kFdfKindOther;
    int subtype = kFdfSubtypeOther;
    int page = -1;
    std::string_view creationDate;
    std::string_view author;
    std::string_view uniqueName;
    std::string_view inReplyTo;
    std::string_view parent;  // object id of the annotation a popup belongs to
    int length = 0;           // stream length of an embedded file
    ByteBuffer streamData;    // the stream bytes of an embedded-file object
    ByteBuffer rawText;
    CFDFContent* relatedObject = nullptr;  // popup: its annotation; embedded file: its attachment
    CFDFContent* popup = nullptr;
    FdfDocument* document = nullptr;

protected:
    std::unique_ptr<CFDFContent> ownedPopup_;
    std::forward_list<std::string> ownedTexts_;  // nodes never move: views stay valid
};

}  // namespace quill::sync
