#include "control/pdf_printer.h"

namespace viewer {

bool PdfPrinter::Print() { return backend_ && backend_->PrintDocument(); }

}  // namespace viewer
