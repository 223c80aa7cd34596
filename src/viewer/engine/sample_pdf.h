// A sample engineering drawing written with qpdf: frames, title block and words on every
// page, for the quill-pdf tool, the engine's tests and benchmarks. Separate from the server's
// demo drawing, which must not link the client's PDF libraries, and from the widget's heavy
// drawing, which is made to load the renderer.
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>
#include <vector>

namespace quill::engine {

struct SamplePdfOptions {
    int pageCount = 1;
    double width = 842;  // A3 landscape in points
    double height = 595;
    std::vector<int> rotations;  // /Rotate per page (missing: 0)
    std::string userPassword;    // non-empty: the file is encrypted (AES-256)
    std::string title = "SAMPLE DRAWING";
};

bool WriteSamplePdf(const SamplePdfOptions& options, const std::string& path, std::string* error);

}  // namespace quill::engine
