// The comment-resolution sheet of a large review: 10,000 comments over 50 sheets of an A3
// drawing, gathered from the viewer engine, written as CSV, and as PDF with and without a
// picture of each comment's area, then read back whole by qpdf; against pdftoppm rendering the
// same pages at the pictures' resolution (the pictures' least cost) in the same run.
//
//   bench_resolution_sheet_bench [COMMENTS [PAGES]]   (default: 10000 50)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "session/resolution_sheet.h"
#include "session/resolution_sheet_source.h"
#include "sheet/resolution_sheet_pdf.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_pdf.h"
#include "viewer/widget/comment_thumbnailer.h"

using namespace quill;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double FileMb(const QString& path) { return QFileInfo(path).size() / 1048576.0; }

}  // namespace

int main(int argc, char** argv) {
    const int comments = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int pages = argc > 2 ? std::atoi(argv[2]) : 50;
    if (comments < 1 || pages < 1) return 2;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string drawing = QDir(dir.path()).filePath("drawing.pdf").toStdString();
    engine::SamplePdfOptions options;
    options.pageCount = pages;
    std::string error;
    if (!engine::WriteSamplePdf(options, drawing, &error)) return 1;

    engine::EngineControl engine;
    if (!engine.OpenFile(drawing, nullptr)) return 1;
    engine.SetDefaultAuthor("Kim Minjun-Piping");
    const char* texts[] = {"Check the support spacing, near the \"P-101\" suction line.",
                           "\xB9\xE8\xB0\xFC \xB0\xA3\xBC\xB7 \xC8\xAE\xC0\xCE \xB9\xD9\xB6\xF8"
                           "\xB4\xCF\xB4\xD9.",
                           "Relocate the gate valve 300 mm to the east\nfor access."};
    for (int i = 0; i < comments; ++i) {
        engine::AnnotDraft draft;
        draft.page = i % pages;
        const int slot = i / pages;
        const double x = 60 + (slot % 20) * 36, y = 80 + (slot / 20 % 12) * 40;
        draft.rect = {x, y, x + 30, y + 20};
        draft.contents = texts[i % 3];
        if (!engine.CreateAnnot(draft)) return 1;
    }
    std::printf("%d comments on %d pages\n", comments, pages);

    auto start = Clock::now();
    std::vector<session::SheetComment> gathered = session::SheetCommentsFromControl(engine);
    session::FillSheetPositions(engine, gathered);
    const std::vector<session::SheetRow> rows = session::CollectSheetRows(gathered, {});
    std::printf("gather rows:          %7.3f s\n", Seconds(start));

    const QString csv = QDir(dir.path()).filePath("sheet.csv");
    start = Clock::now();
    if (!session::SaveSheetCsv(csv.toStdString(), rows)) return 1;
    std::printf("CSV:                  %7.3f s  %.1f MB\n", Seconds(start), FileMb(csv));

    const QString plain = QDir(dir.path()).filePath("plain.pdf");
    start = Clock::now();
    if (!sheet::WriteSheetPdf(plain, {"BENCH-001", "Bench drawing", "A", "1", "2026-12-07"}, rows))
        return 1;
    std::printf("PDF, no pictures:     %7.3f s  %.1f MB\n", Seconds(start), FileMb(plain));

    const QString pictured = QDir(dir.path()).filePath("pictured.pdf");
    start = Clock::now();
    {
        widget::CommentThumbnailer thumbnails(engine, sheet::kSheetPictureSize);
        sheet::SheetPdfOptions with;
        with.picture = [&thumbnails](const session::SheetRow& row) {
            return thumbnails.Thumbnail(row.annotId);
        };
        if (!sheet::WriteSheetPdf(pictured, {"BENCH-001", "Bench drawing", "A", "1", "2026-12-07"},
                                  rows, with))
            return 1;
    }
    std::printf("PDF with pictures:    %7.3f s  %.1f MB\n", Seconds(start), FileMb(pictured));

    // The sheet as a reader meets it: qpdf reads the whole file back.
    start = Clock::now();
    const int checked =
        std::system(("qpdf --check '" + pictured.toStdString() + "' > /dev/null").c_str());
    std::printf("qpdf --check of it:   %7.3f s  %s\n", Seconds(start),
                checked == 0 ? "ok" : "FAILED");

    // The outside measure: every page of the drawing rendered once at the pictures' 144 dpi.
    start = Clock::now();
    const std::string command = "pdftoppm -r 144 -png '" + drawing + "' '" +
                                QDir(dir.path()).filePath("page").toStdString() + "'";
    const int code = std::system(command.c_str());
    std::printf("pdftoppm, %d pages:   %7.3f s%s\n", pages, Seconds(start),
                code == 0 ? "" : "  (failed)");
    return 0;
}
