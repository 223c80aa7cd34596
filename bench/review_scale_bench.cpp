// A review at scale, headless: engines and autosave workers against the bundled server in this
// process. Reviewers draw and publish their comments; a reader's first check takes them all in
// (the load of the review), one reviewer then publishes 1,000 more details and the reader
// checks them in. Each figure stands next to an outside measure from the same run: qpdf
// reading the drawing, curl making as many requests to the same server as the publish sends.
// Peak memory is the process's, from getrusage.
//
//   bench_review_scale_bench [--pages 300] [--comments 10000] [--reviewers 20]
//                            [--details 1000]
#include <sys/resource.h>
#include <unistd.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_reviewer.h"
#include "server/review_server.h"
#include "server/server_options.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "sync/fdf/comment_fdf.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::sync;

namespace {

using benchsupport::Client;
using benchsupport::Clock;
using benchsupport::CurlItemsAfter;
using benchsupport::CurlRequests;
using benchsupport::Die;
using benchsupport::kDocId;
using benchsupport::Since;
namespace fs = std::filesystem;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void Row(const char* what, double seconds, const char* anchor, double anchorSeconds) {
    std::printf("%-44s %9.3f s   | %-38s %8.3f s\n", what, seconds, anchor, anchorSeconds);
    std::fflush(stdout);
}

double QpdfOpen(const std::string& pdf) {
    const auto start = Clock::now();
    QPDF q;
    q.processFile(pdf.c_str());
    if (QPDFPageDocumentHelper(q).getAllPages().empty()) Die("qpdf found no page");
    return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
    const benchsupport::ReviewScale scale = benchsupport::ReadReviewScale(argc, argv);
    const int pages = scale.pages, comments = scale.comments, reviewers = scale.reviewers,
              details = scale.details;
    const fs::path dir =
        fs::temp_directory_path() / ("quill-review-scale-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    quillserver::ServerOptions options;
    options.port = 0;
    options.ecmPort = 0;
    options.dataDir = (dir / "server").string();
    quillserver::ReviewServer server(options);
    std::string error;
    if (!server.Start(error)) Die("server: " + error);
    const int port = server.reviewPort();

    engine::SamplePdfOptions o;
    o.pageCount = pages;
    const std::string drawing = (dir / "drawing.pdf").string();
    if (!engine::WriteSamplePdf(o, drawing, &error)) Die(error);
    std::printf(
        "review: %d pages (%ju bytes), %d comments from %d reviewers, %d details "
        "published at the end\n\n",
        pages, static_cast<uintmax_t>(fs::file_size(drawing)), comments, reviewers, details);

    // The reviewers but the last draw and publish what the review holds before the check.
    const int before = comments - details;
    const int others = reviewers - 1;
    auto start = Clock::now();
    int held = 0;  // annotations in the reviewers' engines (a comment may bring more than one)
    for (int r = 0; r < others; ++r) {
        char user[16];
        std::snprintf(user, sizeof user, "REV%02d", r + 1);
        Client reviewer(port, drawing, user, (dir / user).string());
        const int share = before / others + (r < before % others ? 1 : 0);
        reviewer.Draw(share, r * 7);
        held += reviewer.Comments();
        if (!reviewer.Publish(port)) Die("a reviewer's queue did not empty");
    }
    const double seeding = Since(start);
    std::printf("%-44s %9.3f s   (%d reviewers, not a client figure)\n",
                "setup: reviewers draw, autosave and publish", seeding, others);

    // The reader opens the review: the engine on the drawing, then the first check merges
    // every published comment.
    start = Clock::now();
    Client reader(port, drawing, "READER", (dir / "READER").string());
    const double open = Since(start);
    Row("open: engine + worker on the drawing", open, "qpdf: read the drawing", QpdfOpen(drawing));
    start = Clock::now();
    const int firstRevision = reader.worker().GetLastestRevisions();
    if (firstRevision < 0) Die("the first check found nothing");
    const double load = Since(start);
    if (reader.Comments() != held)
        Die("the reader holds " + std::to_string(reader.Comments()) + " of " +
            std::to_string(held));
    Row("load: first check merges the review", load, "curl: download the items it reads",
        CurlItemsAfter(port, 0));

    // The last reviewer publishes the details; the reader checks them in.
    char user[16];
    std::snprintf(user, sizeof user, "REV%02d", reviewers);
    Client last(port, drawing, user, (dir / user).string());
    // Held back while drawing, so that the publish below sends every detail.
    last.worker().Suspend();
    start = Clock::now();
    last.Draw(details, 0);
    const double drawn = Since(start);
    held += last.Comments();
    start = Clock::now();
    last.worker().Resume();
    if (!last.Publish(port)) Die("the publishing queue did not empty");
    const double publish = Since(start);
    const double curlPublish = CurlRequests(port, details, dir);
    char what[64];
    std::snprintf(what, sizeof what, "draw and queue %d details", details);
    std::printf("%-44s %9.3f s\n", what, drawn);
    std::snprintf(what, sizeof what, "publish: send %d details + publish.do", details);
    std::snprintf(user, sizeof user, "%d", details);
    Row(what, publish, (std::string("curl: ") + user + " requests, one process").c_str(),
        curlPublish);
    start = Clock::now();
    if (reader.worker().GetLastestRevisions() < 0) Die("the check found nothing new");
    const double check = Since(start);
    if (reader.Comments() != held)
        Die("the reader holds " + std::to_string(reader.Comments()) + " of " +
            std::to_string(held));
    std::snprintf(what, sizeof what, "check: merge %d incoming comments", details);
    Row(what, check, "curl: download the items it reads", CurlItemsAfter(port, firstRevision));
    std::printf("%-44s %9.0f MB  (goal under 400 MB; the drawing is %.1f MB)\n",
                "peak memory (getrusage, whole process)", PeakMegabytes(),
                static_cast<double>(fs::file_size(drawing)) / 1e6);

    server.Stop();
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
