#include "control/pdf_printer.h"

namespace quill::control {

bool PdfPrinter::Print() { return backend_ && backend_->PrintDocument(); }

}  // namespace quill::control
