// What the viewer control's handles (PdfPage, PdfAnnot, PdfReply, ...) forward to.
#pragma once

#include <cstdint>
#include <string>

namespace quill::control {

// Identifies one annotation or reply inside one control. 0 is "none"; an id is never
// reused while the control lives, so a handle to a removed annotation stays harmless.
using AnnotId = uint64_t;

enum class AnnotText {
    Author,       // /T
    Subject,      // /Subj
    Contents,     // /Contents
    Name,         // /NM, the unique name
    InReplyTo,    // /IRT, the unique name of the annotation a reply answers
    TypeName,     // "Annot", or "Stamp" for an image (read only)
    SubtypeName,  // "Text", "Popup", "Polygon", "File Attachment", "Line", ... (read only)
    ToolName,     // "Cloudy", "PolyLine", ... (read only, see annot_tool.h)
};

// Implemented by the engine. Every call with an unknown id or page is answered with a
// neutral value (0, empty, false) and changes nothing. Setters fire no events.
class PdfObjectBackend {
public:
    virtual ~PdfObjectBackend() = default;

    // Pages: top-level annotations only, in index order.
    virtual int32_t PageAnnotCount(int32_t page) const = 0;
    virtual AnnotId PageAnnotAt(int32_t page, int32_t index) const = 0;
    virtual bool PageRemoveAnnot(int32_t page, AnnotId id) = 0;

    // Annotations and replies.
    virtual bool AnnotExists(AnnotId id) const = 0;
    virtual int32_t AnnotPageOf(AnnotId id) const = 0;   // -1 when unknown
    virtual int32_t AnnotIndexOf(AnnotId id) const = 0;  // of its top-level annotation; -1
    virtual std::string GetAnnotText(AnnotId id, AnnotText field) const = 0;
    virtual void SetAnnotText(AnnotId id, AnnotText field, const std::string& value) = 0;
    virtual int16_t GetThickness(AnnotId id) const = 0;
    virtual void SetThickness(AnnotId id, int16_t width) = 0;
    virtual int16_t GetBorderStyle(AnnotId id) const = 0;
    virtual void SetBorderStyle(AnnotId id, int16_t code) = 0;
    virtual int32_t GetColor(AnnotId id) const = 0;
    virtual void SetColor(AnnotId id, int32_t bgr) = 0;
    virtual double GetModDate(AnnotId id) const = 0;
    virtual void SetModDate(AnnotId id, double automationDate) = 0;
    virtual bool GetReadOnly(AnnotId id) const = 0;
    virtual void SetReadOnly(AnnotId id, bool readOnly) = 0;
    virtual bool GetShown(AnnotId id) const = 0;
    virtual void SetShown(AnnotId id, bool shown) = 0;

    // Direct replies of an annotation or reply, oldest first.
    virtual int32_t ReplyCount(AnnotId parent) const = 0;
    virtual AnnotId ReplyAt(AnnotId parent, int32_t index) const = 0;

    // The text tool's font for new call-out comments.
    virtual void SetTextFontFace(const std::string& face) = 0;
    virtual void SetTextFontSize(float size) = 0;
    virtual void SetTextFontColor(int32_t bgr) = 0;

    // Prints the open document (with its annotations); false when there is nothing to print
    // or no printer is attached to the control.
    virtual bool PrintDocument() = 0;
};

}  // namespace quill::control
