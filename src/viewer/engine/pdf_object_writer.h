// Writes PdfObjects in the engine's one compact layout (the layout of its FDF files).
#pragma once
#include "viewer/engine/engine_names.h"

#include <functional>
#include <string>

#include "viewer/engine/pdf_object.h"

namespace quill::engine {

// Maps an object number of a reference to the number written; identity when empty.
using RefMapper = std::function<int(int)>;

// Layout: "<</Type/Annot/Rect[ 1 2 3 4]/BS<</W 1/S/D/D[ 3 3]>>/T(text)/Parent 3 0 R /Page 0>>"
// - a value follows its key directly when it opens with a delimiter, else after one blank;
// - inside arrays the same: "[ 1 2]", "[/None/OpenArrow]", "[[ 1 2][ 3 4]]", "[ 2 0 R 3 0 R]";
// - a reference followed by another key gets one blank behind it;
// - numbers in the C locale, integers as such, reals with at most 4 decimals;
// - strings in parentheses; the bytes ( ) \ < > / P and control bytes as octal escapes, so
//   that naive scanners of the text never see a bracket, a name, "Popup ", "Parent " or
//   "Page" inside a string.
void AppendPdfObject(std::string& out, const PdfObject& object, const RefMapper& mapRef = {});
std::string WritePdfObject(const PdfObject& object, const RefMapper& mapRef = {});

std::string FormatPdfNumber(double value, bool isInteger);
std::string EscapePdfString(const std::string& bytes);  // with the parentheses

}  // namespace quill::engine
