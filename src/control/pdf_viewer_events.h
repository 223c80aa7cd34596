// PdfViewerEvents: the control's events, fired only for what the user does in the viewer.
#pragma once

#include <cstdint>
#include <string>

namespace quill::control {

// Fired on the GUI thread after the change is in the control. Importing FDF, RemoveAnnot
// and the property setters fire nothing. A move to another page arrives as AnnotDeleted at
// the old place followed by AnnotModified at the new one. The handlers may call back into
// the control (set properties, export FDF).
class PdfViewerEvents {
public:
    virtual ~PdfViewerEvents() = default;

    virtual void AnnotAdded(int32_t page, int32_t index) {}     // 38
    virtual void AnnotDeleted(int32_t page, int32_t index) {}   // 39
    virtual void AnnotModified(int32_t page, int32_t index) {}  // 40
    // page and index of the top-level annotation; the reply's unique name.
    virtual void ReplyAdded(int32_t page, int32_t index, const std::string& reply) {}     // 41
    virtual void ReplyDeleted(int32_t page, int32_t index, const std::string& reply) {}   // 42
    virtual void ReplyModified(int32_t page, int32_t index, const std::string& reply) {}  // 43
};

}  // namespace quill::control
