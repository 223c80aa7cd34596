// PdfTextFont: the font settings the text (call-out) tool gives new comments.
#pragma once

#include <cstdint>
#include <string>

#include "control/pdf_object_backend.h"

namespace viewer {

class PdfTextFont {
public:
    PdfTextFont() = default;
    explicit PdfTextFont(PdfObjectBackend* backend) : backend_(backend) {}

    void SetFaceName(const std::string& face);  // M1
    void SetSize(float size);                   // M3
    void SetColor(int32_t bgr);                 // M5, 0x00BBGGRR

private:
    PdfObjectBackend* backend_ = nullptr;
};

}  // namespace viewer
