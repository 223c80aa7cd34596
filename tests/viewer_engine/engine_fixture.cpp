#include "viewer_engine/engine_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <fstream>
#include <regex>

#include "viewer/engine/sample_annots.h"

using namespace quill;
using namespace quill::engine;

namespace enginetest {

using engine::EngineControl;

std::string MakeDrawing(const testsupport::TempDir& dir, const std::string& name,
                        engine::SamplePdfOptions options) {
    const std::string path = (dir / name).string();
    std::string error;
    EXPECT_TRUE(engine::WriteSamplePdf(options, path, &error)) << error;
    return path;
}

std::vector<control::AnnotId> CreateEveryTool(EngineControl& control, int page) {
    const auto g = control.PageGeometryOf(page);
    const auto words = control.TextQuadsIn(page, g.mediaBox);
    std::vector<control::AnnotId> ids;
    for (const auto& draft : engine::SampleAnnotDrafts(page, g, words)) {
        const control::AnnotId id = control.CreateAnnot(draft);
        EXPECT_NE(id, 0u) << control::AnnotToolName(draft.tool);
        ids.push_back(id);
    }
    const control::AnnotId note = ids[static_cast<int>(control::AnnotTool::Note)];
    const control::AnnotId reply = control.AddReply(note, "First answer", "KIM-PIPING");
    EXPECT_NE(reply, 0u);
    EXPECT_NE(control.AddReply(reply, "Answer to the answer", "LEE-CIVIL"), 0u);
    return ids;
}

std::map<int, std::string> SplitFdfObjects(const std::string& fdf) {
    std::map<int, std::string> out;
    size_t pos = 0;
    while (true) {
        const size_t obj = fdf.find(" 0 obj\n", pos);
        if (obj == std::string::npos) break;
        size_t start = fdf.rfind('\n', obj);
        start = start == std::string::npos ? 0 : start + 1;
        const int num = std::atoi(fdf.substr(start, obj - start).c_str());
        const size_t body = obj + 7;
        const size_t end = fdf.find("\nendobj", body);
        if (end == std::string::npos) break;
        out[num] = fdf.substr(body, end - body);
        pos = end;
    }
    return out;
}

std::string WithoutObjectNumbers(const std::string& text) {
    static const std::regex ref(R"((\d+) 0 (R|obj))");
    return std::regex_replace(text, ref, "# 0 $2");
}

int RunCommand(const std::string& command, std::string* output, bool joinStderr) {
    FILE* p = popen((joinStderr ? command + " 2>&1" : command).c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::string out;
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    if (output) *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Raster RenderPage(const std::string& pdf, int page, int dpi, const testsupport::TempDir& dir) {
    static int counter = 0;
    const std::string base = (dir / ("render" + std::to_string(++counter))).string();
    std::string out;
    const std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -f " +
                            std::to_string(page + 1) + " -l " + std::to_string(page + 1) +
                            " -singlefile '" + pdf + "' '" + base + "'";
    Raster r;
    if (RunCommand(cmd, &out) != 0) {
        ADD_FAILURE() << cmd << ": " << out;
        return r;
    }
    std::ifstream in(base + ".ppm", std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> r.width >> r.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255) return Raster{};
    r.rgb.resize(static_cast<size_t>(r.width) * r.height * 3);
    in.read(reinterpret_cast<char*>(r.rgb.data()), static_cast<std::streamsize>(r.rgb.size()));
    return r;
}

int DifferingPixels(const Raster& a, const Raster& b, int x1, int y1, int x2, int y2,
                    int tolerance) {
    if (a.width != b.width || a.height != b.height) return -1;
    int count = 0;
    for (int y = std::max(0, y1); y < std::min(a.height, y2); ++y) {
        for (int x = std::max(0, x1); x < std::min(a.width, x2); ++x) {
            const size_t i = (static_cast<size_t>(y) * a.width + x) * 3;
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])) > tolerance) {
                    ++count;
                    break;
                }
            }
        }
    }
    return count;
}

}  // namespace enginetest
