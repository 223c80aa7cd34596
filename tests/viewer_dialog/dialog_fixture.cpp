#include "viewer_dialog/dialog_fixture.h"

#include <gtest/gtest.h>
#include <QApplication>

#include <chrono>
#include <thread>

#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::engine;

namespace dialogtest {

void EnsureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_viewer_dialog";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the test program
}

std::string MakeDrawing(const testsupport::TempDir& dir, int pages, std::vector<int> rotations,
                        const std::string& name) {
    engine::SamplePdfOptions options;
    options.pageCount = pages;
    options.rotations = std::move(rotations);
    const std::string path = (dir / name).string();
    std::string error;
    EXPECT_TRUE(engine::WriteSamplePdf(options, path, &error)) << error;
    return path;
}

LaunchParams ReviewerParams(const testsupport::ReviewServerProcess& server,
                            const std::string& userId, const std::string& discipline,
                            const std::string& elementId) {
    LaunchParams p;
    p.HOST = server.host();
    p.PORT = server.port();
    p.USERID = userId;
    p.SQURVWMNO = 1001;
    p.RVWFILESEQ = 1;
    p.ELEMENTID = elementId;
    p.SITEUSENM = discipline;
    p.authorName = userId + "-" + discipline;
    p.docId = kDocId;
    p.targetDocId = "20011";
    return p;
}

DialogUnderTest::DialogUnderTest(const LaunchParams& launch, ViewerDialogHost* host,
                                 const std::string& registryRoot)
    : params(launch) {
    EnsureApp();
    CPdfViewerDlg::Context context;
    context.params = &params;
    context.installFolder = folder.str();
    context.workingFolder = folder.str();
    context.documentFile = (folder / "document").string();
    context.commentIndex = &index;
    context.pendingDetails = &pending;
    context.copyBuffer = &copy;
    context.host = host;
    context.registryRoot = registryRoot.empty() ? (folder / "registry").string() : registryRoot;
    context.terminate = [this] { terminated = true; };
    dialog = std::make_unique<CPdfViewerDlg>(std::move(context));
    dialog->resize(900, 700);
}

DialogUnderTest::~DialogUnderTest() { dialog.reset(); }

OtherReviewer::OtherReviewer(const testsupport::ReviewServerProcess& server,
                             const std::string& drawing, const std::string& userId,
                             const std::string& author)
    : server_(server), userId_(userId) {
    control_ = std::make_unique<engine::EngineControl>();
    EXPECT_TRUE(control_->OpenFile(drawing, nullptr));
    control_->SetDefaultAuthor(author);
    AutosaveSettings settings;
    settings.host = server.host();
    settings.port = server.port();
    settings.docId = kDocId;
    settings.targetDocId = "20011";
    settings.userId = userId;
    settings.workingFolder = folder_.str();
    worker_ = std::make_unique<AutosaveWorker>(control_.get(), control_->PageCount(), settings);
}

OtherReviewer::~OtherReviewer() {
    worker_.reset();
    control_.reset();
}

int OtherReviewer::Draw(control::AnnotTool tool, int page) {
    const auto geometry = control_->PageGeometryOf(page);
    auto drafts = engine::SampleAnnotDrafts(page, geometry);
    const control::AnnotId id = control_->CreateAnnot(drafts.at(static_cast<size_t>(tool)));
    EXPECT_NE(id, 0u);
    const int index = control_->AnnotIndexOf(id);
    EXPECT_EQ(worker_->AutoSaveAnnot(page, index, kActionCreate), 1);
    return index;
}

int OtherReviewer::Publish() {
    worker_->WakeUp();
    for (int i = 0; i < 750 && worker_->Busy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (worker_->Busy()) return -1;
    auto reply = server_.Get("/Comm/publish.do?userid=" + userId_ + "&docid=" + kDocId);
    return reply.status == 200 ? std::atoi(reply.body.c_str()) : -1;
}

PromptRecorder::PromptRecorder() {
    auto prompter = std::make_unique<platform::ScriptedPrompter>();
    prompter_ = prompter.get();
    platform::InstallPrompter(std::move(prompter));
}

PromptRecorder::~PromptRecorder() { platform::InstallPrompter(nullptr); }

}  // namespace dialogtest
