// PdfTextFont: the font settings the text (call-out) tool gives new comments.
#pragma once

#include <cstdint>
#include <string>

#include "control/pdf_object_backend.h"

namespace quill::control {

class PdfTextFont {
public:
    PdfTextFont() = default;
    explicit PdfTextFont(PdfObjectBackend* backend) : backend_(backend) {}

    void SetFaceName(const std::string& face);
    void SetSize(float size);
    void SetColor(int32_t bgr);  // 0x00BBGGRR

private:
    PdfObjectBackend* backend_ = nullptr;
};

}  // namespace quill::control
