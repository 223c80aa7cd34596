#include "control/pdf_text_font.h"

namespace quill::control {

void PdfTextFont::SetFaceName(const std::string& face) {
    if (backend_) backend_->SetTextFontFace(face);
}
void PdfTextFont::SetSize(float size) {
    if (backend_) backend_->SetTextFontSize(size);
}
void PdfTextFont::SetColor(int32_t bgr) {
    if (backend_) backend_->SetTextFontColor(bgr);
}

}  // namespace quill::control
