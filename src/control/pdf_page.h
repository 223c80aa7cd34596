// PdfPage: a handle to one page of the viewer control's document and its annotations.
#pragma once

#include <cstdint>

#include "control/pdf_annot.h"
#include "control/pdf_object_backend.h"

namespace quill::control {

// Counts and returns top-level annotations only: popups and replies belong to their
// parent. An annotation imported from FDF takes the last index.
class PdfPage {
public:
    PdfPage() = default;
    PdfPage(PdfObjectBackend* backend, int32_t page) : backend_(backend), page_(page) {}

    bool IsValid() const;
    int32_t PageIndex() const { return page_; }

    PdfAnnot GetAnnot(int32_t index) const;   // an invalid handle when out of range
    bool RemoveAnnot(const PdfAnnot& annot);  // fires no event; false when not on page
    int32_t AnnotCount() const;

private:
    PdfObjectBackend* backend_ = nullptr;
    int32_t page_ = -1;
};

}  // namespace quill::control
