// Test helpers for the viewer engine: a generated drawing, an engine with one comment of
// every tool, FDF object splitting and page rendering with pdftoppm.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::engine;

namespace enginetest {

// A drawing written with qpdf into the folder; aborts the test when that fails.
std::string MakeDrawing(const testsupport::TempDir& dir, const std::string& name,
                        engine::SamplePdfOptions options = {});

// One comment of every tool on the page (tool code order), with a reply on the note and a
// reply to that reply. Returns the ids in tool order.
std::vector<control::AnnotId> CreateEveryTool(engine::EngineControl& control, int page);

// The indirect objects of an FDF text by number: "N 0 obj\n" ... "\nendobj".
std::map<int, std::string> SplitFdfObjects(const std::string& fdf);
// The text with every "N 0 R" and "N 0 obj" number replaced by '#'.
std::string WithoutObjectNumbers(const std::string& text);

// A rendered page: width x height RGB pixels.
struct Raster {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    bool ok() const { return width > 0 && height > 0; }
};
Raster RenderPage(const std::string& pdf, int page, int dpi, const testsupport::TempDir& dir);
// Pixels that differ by more than `tolerance` in any channel, inside a box given in pixels.
int DifferingPixels(const Raster& a, const Raster& b, int x1, int y1, int x2, int y2,
                    int tolerance = 40);

// The output and exit code of a shell command (test tools only: qpdf, pdftoppm); standard
// error joins the output unless the command redirects it itself.
int RunCommand(const std::string& command, std::string* output, bool joinStderr = true);

}  // namespace enginetest
