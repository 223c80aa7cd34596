// quill-pdf: the viewer engine from the command line (document facts, FDF export and import,
// a sample of every comment type).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "control/pdf_page.h"
#include "sheet/sheet_command.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::engine;
using engine::EngineControl;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: quill-pdf info FILE.pdf\n"
                 "       quill-pdf export-fdf FILE.pdf OUT.fdf\n"
                 "       quill-pdf import-fdf FILE.pdf IN.fdf OUT.pdf\n"
                 "       quill-pdf sample FILE.pdf OUT.pdf\n"
                 "       quill-pdf make-drawing OUT.pdf [PAGES [ROTATE]]\n%s",
                 sheet::ResolutionSheetUsage());
    return 2;
}

bool Open(EngineControl& control, const std::string& path) {
    if (control.OpenFile(path, nullptr)) return true;
    std::fprintf(stderr, "quill-pdf: cannot open %s (missing, damaged or encrypted)\n",
                 path.c_str());
    return false;
}

int Info(const std::string& path) {
    EngineControl control;
    if (!Open(control, path)) return 1;
    std::printf("file: %s\npages: %d\n", path.c_str(), control.PageCount());
    for (int p = 0; p < control.PageCount(); ++p) {
        const auto g = control.PageGeometryOf(p);
        control::PdfPage page = control.GetPage(p);
        std::printf("page %d: %.2f x %.2f rotate %d crop [%.2f %.2f %.2f %.2f] annotations %d\n", p,
                    control.GetPageWidth(static_cast<int16_t>(p)),
                    control.GetPageHeight(static_cast<int16_t>(p)), g.rotate, g.cropBox.x1,
                    g.cropBox.y1, g.cropBox.x2, g.cropBox.y2, page.AnnotCount());
        for (int i = 0; i < page.AnnotCount(); ++i) {
            control::PdfAnnot a = page.GetAnnot(i);
            std::printf("  %d: %s %s \"%s\" by \"%s\" replies %d\n", i, a.GetSubtypeName().c_str(),
                        a.GetName().c_str(), a.Subject().c_str(), a.Author().c_str(),
                        a.GetReplies().ReplyCount());
        }
    }
    return 0;
}

int ExportFdf(const std::string& pdf, const std::string& fdf) {
    EngineControl control;
    if (!Open(control, pdf)) return 1;
    if (!control.ExportAnnotsToFDFFile(fdf)) {
        std::fprintf(stderr, "quill-pdf: cannot write %s\n", fdf.c_str());
        return 1;
    }
    return 0;
}

int ImportFdf(const std::string& pdf, const std::string& fdf, const std::string& out) {
    EngineControl control;
    if (!Open(control, pdf)) return 1;
    if (!control.ImportAnnotsFromFDFFile(fdf)) {
        std::fprintf(stderr, "quill-pdf: cannot read the annotations of %s\n", fdf.c_str());
        return 1;
    }
    if (!control.SaveAs(out)) {
        std::fprintf(stderr, "quill-pdf: cannot save %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int Sample(const std::string& pdf, const std::string& out) {
    EngineControl control;
    if (!Open(control, pdf)) return 1;
    control.SetDefaultAuthor("quill-pdf-SAMPLE");
    const auto g = control.PageGeometryOf(0);
    const auto words = control.TextQuadsIn(0, g.mediaBox);
    for (const auto& draft : engine::SampleAnnotDrafts(0, g, words)) {
        if (!control.CreateAnnot(draft)) {
            std::fprintf(stderr, "quill-pdf: cannot create a %s comment\n",
                         control::AnnotToolName(draft.tool));
            return 1;
        }
    }
    if (!control.SaveAs(out)) {
        std::fprintf(stderr, "quill-pdf: cannot save %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int MakeDrawing(const std::string& out, int pages, int rotate) {
    engine::SamplePdfOptions o;
    o.pageCount = pages;
    o.rotations.assign(static_cast<size_t>(pages), rotate);
    std::string error;
    if (!engine::WriteSamplePdf(o, out, &error)) {
        std::fprintf(stderr, "quill-pdf: cannot write %s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 2 && a[0] == "info") return Info(a[1]);
    if (a.size() == 3 && a[0] == "export-fdf") return ExportFdf(a[1], a[2]);
    if (a.size() == 4 && a[0] == "import-fdf") return ImportFdf(a[1], a[2], a[3]);
    if (a.size() == 3 && a[0] == "sample") return Sample(a[1], a[2]);
    if (!a.empty() && a[0] == "resolution-sheet") {
        const int code = sheet::RunResolutionSheetCommand({a.begin() + 1, a.end()});
        return code == 2 ? Usage() : code;
    }
    if (a.size() >= 2 && a.size() <= 4 && a[0] == "make-drawing") {
        const int pages = a.size() >= 3 ? std::atoi(a[2].c_str()) : 1;
        const int rotate = a.size() == 4 ? std::atoi(a[3].c_str()) : 0;
        if (pages < 1 || pages > 100000 || rotate % 90 != 0) return Usage();
        return MakeDrawing(a[1], pages, rotate);
    }
    return Usage();
}
