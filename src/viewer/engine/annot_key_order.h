// The engine's key order of annotation dictionaries: geometry ahead of every string, /BS
// and /BE last (/W, /S, /D inside /BS), as the client's scanners expect. Applied to
// comments read from a PDF, whose key order the file does not keep.
#pragma once
#include "viewer/engine/engine_names.h"

#include "viewer/engine/pdf_object.h"

namespace quill::engine {

void NormalizeAnnotKeyOrder(PdfObject& dict);

}  // namespace quill::engine
