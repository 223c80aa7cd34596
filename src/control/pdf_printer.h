// PdfPrinter: the control's printer object; Print sends the document to the printer.
#pragma once

#include "control/pdf_object_backend.h"

namespace quill::control {

class PdfPrinter {
public:
    PdfPrinter() = default;
    explicit PdfPrinter(PdfObjectBackend* backend) : backend_(backend) {}

    bool Print();

private:
    PdfObjectBackend* backend_ = nullptr;
};

}  // namespace quill::control
