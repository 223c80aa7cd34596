// PdfReply: a handle to one reply of an annotation (a text annotation answering its parent).
#pragma once

#include <cstdint>
#include <string>

#include "control/pdf_object_backend.h"

namespace quill::control {

class PdfReplyList;

// A lightweight handle owned by nobody: the reply itself lives in the control. A handle to
// a reply that was removed reads as empty and ignores changes. Never outlives the control.
class PdfReply {
public:
    PdfReply() = default;
    PdfReply(PdfObjectBackend* backend, AnnotId id) : backend_(backend), id_(id) {}

    bool IsValid() const;
    AnnotId Id() const { return id_; }

    void SetAuthor(const std::string& author);
    std::string GetAuthor() const;
    std::string GetText() const;
    PdfReplyList GetReplies() const;  // its own replies
    double GetDate() const;           // modification date, automation date
    bool ReadOnly() const;            // local viewer state
    void SetReadOnly(bool readOnly);

    std::string GetName() const;       // unique name (/NM)
    std::string GetInReplyTo() const;  // unique name of the annotation or reply it answers

private:
    PdfObjectBackend* backend_ = nullptr;
    AnnotId id_ = 0;
};

}  // namespace quill::control
