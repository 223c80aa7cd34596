#include "control/pdf_page.h"

namespace quill::control {

bool PdfPage::IsValid() const { return backend_ && page_ >= 0; }

PdfAnnot PdfPage::GetAnnot(int32_t index) const {
    if (!backend_) return PdfAnnot();
    const AnnotId id = backend_->PageAnnotAt(page_, index);
    return id ? PdfAnnot(backend_, id) : PdfAnnot();
}

bool PdfPage::RemoveAnnot(const PdfAnnot& annot) {
    return backend_ && annot.Id() && backend_->PageRemoveAnnot(page_, annot.Id());
}

int32_t PdfPage::AnnotCount() const { return backend_ ? backend_->PageAnnotCount(page_) : 0; }

}  // namespace quill::control
