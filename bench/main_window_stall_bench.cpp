// What a reviewer meets in the main window on a large review: the longest stall of the GUI
// thread (the longest gap between ticks of a 1 ms timer) while the window starts on a review of
// 10,000 comments from 20 reviewers, while the check takes in 1,000 comments another reviewer
// published, and while the reviewer's own 1,000 new comments are published. The outside
// measures come from the same run: the same merges done headless by a client without a window
// (so the window's own share shows), and curl downloading the items the merges read.
//
//   bench_main_window_stall_bench [--pages 300] [--comments 10000] [--reviewers 20]
//                                 [--details 1000]
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/pending_details.h"
#include "bench_reviewer.h"
#include "main_window/test_window_context.h"
#include "platform/prompter.h"
#include "review/review_session.h"
#include "server/review_server.h"
#include "server/server_options.h"
#include "session/main_window_layout.h"
#include "ui/quillmark_dlg.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"
#include "viewer/widget/pdf_viewer_widget.h"

using namespace quill;
using benchsupport::Client;
using benchsupport::Clock;
using benchsupport::CurlItemsAfter;
using benchsupport::CurlRequests;
using benchsupport::Die;
using benchsupport::Since;
namespace fs = std::filesystem;

namespace {

// The longest gap between the ticks of a 1 ms timer on the GUI thread while it runs.
class StallMeter {
public:
    StallMeter() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double gap = Since(last_);
            longest_ = std::max(longest_, gap);
            last_ = Clock::now();
        });
    }
    void Start() {
        longest_ = 0;
        last_ = Clock::now();
        timer_.start();
    }
    double Stop() {
        timer_.stop();
        return std::max(longest_, Since(last_));
    }

private:
    QTimer timer_;
    Clock::time_point last_;
    double longest_ = 0;
};

// Runs the event loop until done() holds (checked every 5 ms); false after limit seconds.
bool RunUntil(const std::function<bool()>& done, double limit = 600) {
    const auto start = Clock::now();
    while (!done()) {
        if (Since(start) > limit) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Row(const char* what, double total, double stall, const char* anchor, double anchorSeconds) {
    std::printf("%-40s %8.3f s  longest stall %7.3f s  | %-34s %7.3f s\n", what, total, stall,
                anchor, anchorSeconds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const benchsupport::ReviewScale scale = benchsupport::ReadReviewScale(argc, argv);
    const int pages = scale.pages, comments = scale.comments, reviewers = scale.reviewers,
              details = scale.details;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const fs::path dir =
        fs::temp_directory_path() / ("quill-window-stall-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    engine::SamplePdfOptions o;
    o.pageCount = pages;
    const std::string drawing = (dir / "bench-drawing.pdf").string();
    std::string error;
    if (!engine::WriteSamplePdf(o, drawing, &error)) Die(error);
    quillserver::ServerOptions options;
    options.port = 0;
    options.ecmPort = 0;
    options.dataDir = (dir / "server").string();
    options.documents = {drawing};
    quillserver::ReviewServer server(options);
    if (!server.Start(error)) Die("server: " + error);
    const int port = server.reviewPort();
    std::printf("review: %d pages, %d comments from %d reviewers, then %d more each way\n\n", pages,
                comments - details, reviewers - 1, details);

    // The other reviewers publish what the review holds when the window opens.
    const int before = comments - details;
    const int others = reviewers - 1;
    for (int r = 0; r < others; ++r) {
        char user[16];
        std::snprintf(user, sizeof user, "REV%02d", r + 1);
        Client reviewer(port, drawing, user, (dir / user).string());
        reviewer.Draw(before / others + (r < before % others ? 1 : 0), r * 7);
        if (!reviewer.Publish(port)) Die("a reviewer's queue did not empty");
    }

    // The reviewer's window, as the program makes it, on the same review.
    platform::InstallPrompter(std::make_unique<platform::ScriptedPrompter>(
        std::vector<platform::PromptAnswer>(16, platform::PromptAnswer::Yes)));
    std::string launch = app::DebugLaunchString();
    auto swap = [&launch](const std::string& from, const std::string& to) {
        launch.replace(launch.find(from), from.size(), to);
    };
    swap("PORT=8087", "PORT=" + std::to_string(port));
    swap("ELEMENTID=sample-drawing", "ELEMENTID=bench-drawing");
    app::LaunchParams params;
    if (!app::ParseLaunchParams(launch, params)) Die("launch string");
    app::CommentIndex index;
    app::PendingDetails pending;
    app::CommentCopyBuffer copy;
    review::ReviewSession session;
    bool terminated = false;
    const std::string folder = (dir / "reader").string();
    fs::create_directories(folder);
    ui::CQuillmarkDlg::Context context =
        windowtest::TestWindowContext(params, folder, index, pending, copy, session, terminated);
    context.commandTail = "bench";
    context.viewer.registryRoot = folder + "/registry";
    StallMeter meter;

    // Start: the window shows, downloads the drawing and takes in every published comment.
    auto start = Clock::now();
    meter.Start();
    ui::CQuillmarkDlg window(std::move(context));
    window.resize(1280, 900);
    bool ready = false;
    QObject::connect(&window, &ui::CQuillmarkDlg::Ready, [&ready] { ready = true; });
    window.show();
    if (!RunUntil([&] { return ready || terminated; }) || terminated)
        Die("the window did not start");
    double total = Since(start);
    double stall = meter.Stop();
    if (index.size() < static_cast<size_t>(before)) Die("the window holds too few comments");
    // The same load without a window.
    const auto headlessStart = Clock::now();
    Client headless(port, drawing, "HEADLESS", (dir / "HEADLESS").string());
    const int firstRevision = headless.worker().GetLastestRevisions();
    const double headlessLoad = Since(headlessStart);
    Row("start: window ready on the review", total, stall, "headless client: open + load",
        headlessLoad);
    std::printf("%-40s %8s    %26s| %-34s %7.3f s\n", "", "", "", "curl: download the items",
                CurlItemsAfter(port, 0));

    // Check: another reviewer publishes; the indicator lights; the reviewer presses the check.
    {
        char user[16];
        std::snprintf(user, sizeof user, "REV%02d", reviewers);
        Client last(port, drawing, user, (dir / user).string());
        last.Draw(details, 0);
        if (!last.Publish(port)) Die("the last reviewer's queue did not empty");
    }
    if (!RunUntil([&] { return window.NewCommentCount() > 0; }, 60)) Die("no indicator");
    start = Clock::now();
    meter.Start();
    window.PressButton(session::kButtonCheck);
    if (!RunUntil([&] { return !window.Busy(); })) Die("the check did not end");
    total = Since(start);
    stall = meter.Stop();
    const auto headlessCheck = Clock::now();
    if (headless.worker().GetLastestRevisions() < 0) Die("the headless check found nothing");
    char what[64];
    std::snprintf(what, sizeof what, "check: take in %d comments", details);
    Row(what, total, stall, "headless client: the same check", Since(headlessCheck));
    std::printf("%-40s %8s    %26s| %-34s %7.3f s\n", "", "", "", "curl: download the items",
                CurlItemsAfter(port, firstRevision));

    // Publish: the reviewer's own new comments, drawn as the tools draw them, then published.
    widget::PdfViewerWidget* view = window.ViewerDialog()->Viewer();
    engine::EngineControl& engine = view->Engine();
    for (int i = 0; i < details; ++i) {
        const int page = i % engine.PageCount();
        const auto drafts = engine::SampleAnnotDrafts(page, engine.PageGeometryOf(page));
        if (!engine.UserCreateAnnot(drafts[static_cast<size_t>(i) % drafts.size()]))
            Die("cannot draw in the window");
        if (i % 50 == 49) RunUntil([] { return true; });
    }
    RunUntil([&] {
        return window.ViewerDialog()->Worker() && !window.ViewerDialog()->Worker()->Busy();
    });
    start = Clock::now();
    meter.Start();
    window.PressButton(session::kButtonPublish);
    if (!RunUntil([&] { return !window.Busy(); })) Die("the publish did not end");
    total = Since(start);
    stall = meter.Stop();
    std::snprintf(what, sizeof what, "publish: the reviewer's %d comments", details);
    Row(what, total, stall, "curl: as many requests, one process",
        CurlRequests(port, details, dir));

    window.close();
    server.Stop();
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
