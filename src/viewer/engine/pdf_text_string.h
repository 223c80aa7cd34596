// Text strings of annotations: the client's system-code-page text to and from PDF text
// strings (PDFDocEncoding for plain ASCII, else UTF-16BE with its byte order mark).
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>

namespace quill::engine {

std::string AnsiToPdfText(const std::string& ansi);
std::string PdfTextToAnsi(const std::string& pdfBytes);
std::u16string PdfTextToUtf16(const std::string& pdfBytes);

}  // namespace quill::engine
