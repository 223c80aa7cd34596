// Viewer engine timings next to qpdf's on the same files in the same run: opening a
// 300-page drawing, exporting 10,000 comments to FDF and importing them back, saving.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "control/pdf_page.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using Clock = std::chrono::steady_clock;
using engine::EngineControl;

// Median of `runs` timings in milliseconds.
double Time(int runs, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Row(const char* what, double ms) { std::printf("%-58s %10.1f ms\n", what, ms); }

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "viewer_engine_bench: %s\n", why.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 300;
    const int comments = argc > 2 ? std::atoi(argv[2]) : 10000;
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("quill-engine-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string pdf = (dir / "drawing.pdf").string();
    engine::SamplePdfOptions o;
    o.pageCount = pages;
    std::string error;
    if (!engine::WriteSamplePdf(o, pdf, &error)) Die(error);
    std::printf("document: %d pages, %ju bytes; comments: %d\n\n", pages,
                static_cast<uintmax_t>(fs::file_size(pdf)), comments);

    int count = 0;
    Row("engine: OpenFile + PageCount", Time(5, [&] {
            EngineControl c;
            if (!c.OpenFile(pdf, nullptr)) Die("cannot open");
            count = c.PageCount();
        }));
    if (count != pages) Die("wrong page count");
    Row("qpdf: processFile + page count", Time(5, [&] {
            QPDF q;
            q.processFile(pdf.c_str());
            count = static_cast<int>(QPDFPageDocumentHelper(q).getAllPages().size());
        }));
    const std::string copy = (dir / "copy.pdf").string();
    Row("qpdf: processFile + QPDFWriter (read and write)", Time(5, [&] {
            QPDF q;
            q.processFile(pdf.c_str());
            QPDFWriter w(q, copy.c_str());
            w.write();
        }));

    EngineControl source;
    if (!source.OpenFile(pdf, nullptr)) Die("cannot open");
    std::vector<std::vector<engine::AnnotDraft>> drafts(static_cast<size_t>(pages));
    const double create = Time(1, [&] {
        for (int i = 0; i < comments; ++i) {
            const int page = i % pages;
            auto& ps = drafts[static_cast<size_t>(page)];
            if (ps.empty()) ps = engine::SampleAnnotDrafts(page, source.PageGeometryOf(page));
            if (!source.CreateAnnot(ps[static_cast<size_t>(i / pages) % ps.size()]))
                Die("cannot create");
        }
    });
    Row("engine: create comments (every tool in turn)", create);
    const std::string fdf = (dir / "all.fdf").string();
    Row("engine: ExportAnnotsToFDFFile", Time(3, [&] {
            if (!source.ExportAnnotsToFDFFile(fdf)) Die("cannot export");
        }));
    std::printf("%-58s %10ju bytes\n", "  FDF size", static_cast<uintmax_t>(fs::file_size(fdf)));
    Row("engine: ImportAnnotsFromFDFFile (into a fresh document)", Time(3, [&] {
            EngineControl target;
            if (!target.OpenFile(pdf, nullptr)) Die("cannot open");
            if (!target.ImportAnnotsFromFDFFile(fdf)) Die("cannot import");
            int total = 0;
            for (int p = 0; p < pages; ++p) total += target.GetPage(p).AnnotCount();
            if (total != comments) Die("wrong comment count after import");
        }));
    const std::string saved = (dir / "saved.pdf").string();
    Row("engine: SaveAs with appearance streams", Time(1, [&] {
            if (!source.SaveAs(saved)) Die("cannot save");
        }));
    Row("qpdf: processFile + QPDFWriter of the saved document", Time(3, [&] {
            QPDF q;
            q.processFile(saved.c_str());
            QPDFWriter w(q, copy.c_str());
            w.write();
        }));
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
