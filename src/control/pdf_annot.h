// PdfAnnot: a handle to one top-level annotation (a comment) of the viewer control.
#pragma once

#include <cstdint>
#include <string>

#include "control/pdf_object_backend.h"
#include "control/pdf_reply_list.h"

namespace quill::control {

// A lightweight handle; the annotation lives in the control. A handle to a removed
// annotation reads as empty and ignores changes. Never outlives the control.
// Setters change the annotation in place and fire no events.
class PdfAnnot {
public:
    PdfAnnot() = default;
    PdfAnnot(PdfObjectBackend* backend, AnnotId id) : backend_(backend), id_(id) {}

    bool IsValid() const;
    AnnotId Id() const { return id_; }

    int16_t Thickness() const;  // border width in points
    void SetThickness(int16_t width);
    int16_t BorderStyle() const;  // codes 1-9 (1 solid, 2-6 dashes, 7 other, 8-9 cloudy)
    void SetBorderStyle(int16_t code);
    int32_t Color() const;  // 0x00BBGGRR
    void SetColor(int32_t bgr);
    std::string Author() const;
    void SetAuthor(const std::string& author);
    std::string Subject() const;
    void SetSubject(const std::string& subject);
    double ModDate() const;  // automation date (days since 1899-12-30, local time)
    void SetModDate(double date);
    bool ReadOnly() const;  // local viewer state, never saved
    void SetReadOnly(bool readOnly);

    std::string GetTypeName() const;     // "Annot", or "Stamp" for an image
    std::string GetSubtypeName() const;  // "Line", "Polygon", "File Attachment", ...
    std::string GetContents() const;
    void SetContents(const std::string& contents);
    void SetShown(bool shown);  // local viewer state, never saved
    bool IsShown() const;
    PdfReplyList GetReplies() const;
    void SetReplies(const PdfReplyList& list);

    std::string GetName() const;      // the unique name (/NM), 36 characters
    std::string GetToolName() const;  // "Cloudy", "PolyLine", ... (annot_tool.h)
    int32_t PageIndex() const;        // -1 for an invalid handle
    int32_t Index() const;            // index on its page, -1 for an invalid handle

private:
    PdfObjectBackend* backend_ = nullptr;
    AnnotId id_ = 0;
};

}  // namespace quill::control
