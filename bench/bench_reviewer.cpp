#include "bench_reviewer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sync/annot_by_name.h"
#include "sync/fdf/comment_fdf.h"
#include "viewer/engine/sample_annots.h"

namespace benchsupport {

using namespace quill;
using namespace quill::sync;
namespace fs = std::filesystem;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Die(const std::string& why) {
    std::fprintf(stderr, "bench: %s\n", why.c_str());
    std::exit(1);
}

ReviewScale ReadReviewScale(int argc, char** argv) {
    ReviewScale scale;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const int value = std::max(1, std::atoi(argv[i + 1]));
        if (arg == "--pages")
            scale.pages = value;
        else if (arg == "--comments")
            scale.comments = value;
        else if (arg == "--reviewers")
            scale.reviewers = std::max(2, value);
        else if (arg == "--details")
            scale.details = value;
    }
    if (scale.details >= scale.comments) Die("--details must be fewer than --comments");
    return scale;
}

double CurlRequests(int port, int requests, const fs::path& dir) {
    const fs::path config = dir / "curl.cfg";
    {
        std::ofstream out(config);
        for (int i = 0; i < requests; ++i) {
            out << "url = \"http://127.0.0.1:" << port << "/Comm/revision.do?docId=" << kDocId
                << "&rev=0&squrvwmno=1&rvwfileseq=1\"\noutput = \"/dev/null\"\n";
        }
    }
    const std::string command = "curl -s -K '" + config.string() + "'";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return Since(start);
}

double CurlItemsAfter(int port, int rev) {
    const std::string command =
        "curl -s -f -o /dev/null 'http://127.0.0.1:" + std::to_string(port) +
        "/Comm/update.do?docId=" + kDocId + "&rev=" + std::to_string(rev) + "'";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return Since(start);
}

Client::Client(int port, const std::string& drawing, const std::string& userId,
               const std::string& folder)
    : userId_(userId), folder_(folder) {
    fs::create_directories(folder);
    if (!control_.OpenFile(drawing, nullptr)) Die("cannot open the drawing");
    control_.SetDefaultAuthor(userId + "-PIPING");
    AutosaveSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.docId = kDocId;
    settings.targetDocId = "20011";
    settings.userId = userId;
    settings.workingFolder = folder;
    worker_ = std::make_unique<AutosaveWorker>(&control_, control_.PageCount(), settings);
    auto append = [this](CNMObject& r) {
        const std::string path = WriteCommentToTempFdf(folder_, r);
        auto page = control_.GetPage(r.page);
        r.annotIndex = control_.ImportAnnotsFromFDFFile(path)
                           ? FindAnnotByName(page, r.uniqueName, page.AnnotCount() - 1).Index()
                           : -1;
        std::remove(path.c_str());
        return 0;
    };
    auto remove = [this](CNMObject& r) {
        control_.GetPage(r.page).RemoveAnnot(AnnotOfRecord(control_, r));
        return 0;
    };
    AutosaveCallbacks c;
    c.onRemoteAnnotCreated = append;
    c.onRemoteAnnotUpdated = [=](CNMObject& r) { return remove(r), append(r); };
    c.onRemoteAnnotDeleted = remove;
    c.onRemoteRepliesChanged = [=](CNMObject& r) { return remove(r), append(r); };
    c.slot4 = [](CNMObject&) { return 0; };
    c.slot6 = [](CNMObject&) { return 0; };
    c.onRemoteAnnotRegistered = [](CNMObject&) { return 0; };
    c.showCommentInViewer = [this](CAnnot& annot) { return WriteCommentToTempFdf(folder_, annot); };
    worker_->SetCallbacks(std::move(c));
}

Client::~Client() {
    worker_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void Client::Draw(int count, int firstPage) {
    const int pages = control_.PageCount();
    for (int i = 0; i < count; ++i) {
        const int page = (firstPage + i) % pages;
        const auto geometry = control_.PageGeometryOf(page);
        const auto drafts = engine::SampleAnnotDrafts(page, geometry);
        const auto& draft = drafts[static_cast<size_t>(i) % drafts.size()];
        const control::AnnotId id = control_.CreateAnnot(draft);
        if (!id) Die("cannot draw");
        if (worker_->AutoSaveAnnot(page, control_.AnnotIndexOf(id), kActionCreate) != 1)
            Die("cannot queue");
    }
}

bool Client::Publish(int port) {
    worker_->WakeUp();
    const auto start = Clock::now();
    while (worker_->Busy()) {
        if (Since(start) > 600) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::string command = "curl -s -o /dev/null 'http://127.0.0.1:" + std::to_string(port) +
                                "/Comm/publish.do?userid=" + userId_ + "&docid=" + kDocId + "'";
    return std::system(command.c_str()) == 0;
}

int Client::Comments() {
    int total = 0;
    for (int p = 0; p < control_.PageCount(); ++p) total += control_.GetPage(p).AnnotCount();
    return total;
}

}  // namespace benchsupport
