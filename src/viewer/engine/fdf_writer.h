// Writes the annotations of the store as FDF, in the one layout the client's sync code
// parses: root "1 0 obj", one object per "obj", /Page as the last key of an annotation,
// "/Parent n 0 R " in popups, embedded files as ">>stream\r\n" bytes "\r\nendstream".
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>

#include "viewer/engine/annot_store.h"

namespace quill::engine {

// The FDF text of every annotation (pages in order, each page in index order, every
// annotation followed by its popup, its embedded file and its replies depth first; then
// replies whose parent is not in the document). `pdfFileName` goes into the root's /F.
std::string WriteFdf(const AnnotStore& store, const std::string& pdfFileName);

// The dictionary text of one annotation as it stands in an exported file, with the given
// object numbers for its popup and embedded file (0: none).
std::string AnnotObjectText(const AnnotRecord& record, int popupNum, int fileNum);

}  // namespace quill::engine
