// The labels a document gives its pages (/PageLabels: "iii", "A-101", ...), as a drawing set
// numbers its sheets.
#pragma once
#include "viewer/widget/widget_names.h"

#include <map>
#include <string>

namespace quill::widget {

// Page index to its label, UTF-8; pages whose label is empty or only their number from 1 are
// left out, and so is every page of a document that cannot be read. A label is cut to 64
// characters.
std::map<int, std::string> ReadPageLabels(const std::string& pdfPath);

}  // namespace quill::widget
