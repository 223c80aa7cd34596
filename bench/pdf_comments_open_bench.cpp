// Opening a PDF that SaveAs wrote with many comments (popups, replies, replies to replies),
// next to `qpdf --check` of the same file in the same run.
//
//   bench_pdf_comments_open_bench [comments...]   (default: 250 1000 10000)
//
// Times are CPU times (this process for the engine, the child for qpdf), so that other work on
// a shared machine does not count.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "control/pdf_page.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::engine;

namespace {

constexpr int kPages = 20;
// A slow open is measured once, not three times.
constexpr double kOnceOnlyMs = 20000;

double ProcessCpuMs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ChildrenCpuMs() {
    rusage u;
    getrusage(RUSAGE_CHILDREN, &u);
    auto ms = [](const timeval& v) { return v.tv_sec * 1e3 + v.tv_usec / 1e3; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

// Median of up to three runs; a single run when the first is already slow.
double Median(const std::function<double()>& run) {
    std::vector<double> ms{run()};
    if (ms[0] < kOnceOnlyMs) {
        ms.push_back(run());
        ms.push_back(run());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "pdf_comments_open_bench: %s\n", why.c_str());
    std::exit(1);
}

struct Written {
    int topLevel = 0;
    int replies = 0;
};

// `comments` comments over the pages, every tool in turn; of every ten, one is a reply to the
// comment before it and one a reply to that reply. Saved with SaveAs to `saved`.
Written WriteCommented(const std::string& drawing, int comments, const std::string& saved) {
    EngineControl c;
    if (!c.OpenFile(drawing, nullptr)) Die("cannot open the drawing");
    std::vector<std::vector<AnnotDraft>> drafts(kPages);
    Written w;
    control::AnnotId lastTop = 0, lastReply = 0;
    for (int i = 0; i < comments; ++i) {
        if (i % 10 == 8 && lastTop) {
            lastReply = c.AddReply(lastTop, "Reply " + std::to_string(i), "KIM-PIPING");
            if (!lastReply) Die("cannot reply");
            ++w.replies;
            continue;
        }
        if (i % 10 == 9 && lastReply) {
            if (!c.AddReply(lastReply, "Answer " + std::to_string(i), "LEE-CIVIL"))
                Die("cannot reply");
            ++w.replies;
            continue;
        }
        const int page = w.topLevel % kPages;
        auto& ps = drafts[static_cast<size_t>(page)];
        if (ps.empty()) ps = SampleAnnotDrafts(page, c.PageGeometryOf(page));
        lastTop = c.CreateAnnot(ps[static_cast<size_t>(w.topLevel / kPages) % ps.size()]);
        if (!lastTop) Die("cannot create");
        ++w.topLevel;
    }
    if (!c.SaveAs(saved)) Die("cannot save");
    return w;
}

// Top-level comments and replies (at any depth) the engine finds in the file.
Written CountOpened(EngineControl& c) {
    Written w;
    std::function<void(control::AnnotId)> replies = [&](control::AnnotId id) {
        for (int i = 0; i < c.ReplyCount(id); ++i) {
            ++w.replies;
            replies(c.ReplyAt(id, i));
        }
    };
    for (int p = 0; p < c.PageCount(); ++p) {
        for (control::AnnotId id : c.AnnotsOnPage(p)) {
            ++w.topLevel;
            replies(id);
        }
    }
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {250, 1000, 10000};
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("quill-comments-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string drawing = (dir / "drawing.pdf").string();
    SamplePdfOptions o;
    o.pageCount = kPages;
    std::string error;
    if (!WriteSamplePdf(o, drawing, &error)) Die(error);

    std::printf("%d pages; CPU ms, median of 3 (one run above %.0f ms)\n\n", kPages, kOnceOnlyMs);
    std::printf("%9s %9s %12s %14s %14s %8s\n", "comments", "replies", "file bytes", "engine open",
                "qpdf --check", "ratio");
    for (int n : counts) {
        const std::string saved = (dir / ("saved-" + std::to_string(n) + ".pdf")).string();
        const Written written = WriteCommented(drawing, n, saved);
        Written opened;
        const double open = Median([&] {
            const double t0 = ProcessCpuMs();
            EngineControl c;
            if (!c.OpenFile(saved, nullptr)) Die("cannot open the saved file");
            const double ms = ProcessCpuMs() - t0;
            opened = CountOpened(c);
            return ms;
        });
        if (opened.topLevel != written.topLevel || opened.replies != written.replies)
            Die("the reopened file lost comments or replies");
        const std::string check = "qpdf --check '" + saved + "' >/dev/null 2>&1";
        const double qpdf = Median([&] {
            const double t0 = ChildrenCpuMs();
            if (std::system(check.c_str()) != 0) Die("qpdf --check failed");
            return ChildrenCpuMs() - t0;
        });
        std::printf("%9d %9d %12ju %11.1f ms %11.1f ms %7.2fx\n", n, written.replies,
                    static_cast<uintmax_t>(fs::file_size(saved)), open, qpdf, open / qpdf);
        std::fflush(stdout);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
