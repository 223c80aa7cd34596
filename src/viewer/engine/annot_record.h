// AnnotRecord: one annotation (or reply) as the engine keeps it: its PDF dictionary, its
// popup, its embedded file and its replies.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/pdf_object_backend.h"
#include "viewer/engine/pdf_object.h"

namespace quill::engine {

// The reference number that stands, inside an annotation's /FS, for its own embedded file;
// the FDF and PDF writers replace it with the file's object number.
inline constexpr int kEmbeddedFileRef = -1;

struct EmbeddedFile {
    PdfObject streamDict;  // /Type/EmbeddedFile/Params ... without /Length
    std::string bytes;     // the stream as stored (unencoded unless /Filter says otherwise)
};

struct AnnotRecord {
    AnnotId id = 0;
    int page = 0;
    // The dictionary without the keys that tie it into a file (/Popup, /Page, /P, /Parent,
    // /AP); they are written from the structure. /IRT is kept as the parent's unique name.
    PdfObject dict = PdfObject::Dict();
    std::optional<PdfObject> popup;  // the popup's dictionary, likewise without /Parent, /Page
    std::optional<EmbeddedFile> file;
    std::vector<std::unique_ptr<AnnotRecord>> replies;
    AnnotRecord* parent = nullptr;  // set on a reply
    // Local viewer state, never written anywhere.
    bool readOnly = false;
    bool shown = true;
    // Place in its page's list, kept by that list (top-level annotations only).
    size_t listSlot = 0;

    std::string Name() const;       // /NM
    std::string InReplyTo() const;  // /IRT
    std::string Subtype() const;    // /Subtype
};

}  // namespace quill::engine
