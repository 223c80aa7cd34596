// Opening the viewer dialog: the review document is downloaded and opened, or the client ends.
#include <gtest/gtest.h>
#include <QApplication>

#include <cstdio>
#include <filesystem>

#include "control/pdf_viewer_control.h"
#include "session/pdf_viewer_sdk.h"
#include "sync/autosave_worker.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::session;
using namespace quill::sync;

namespace dialogtest {
namespace {

class OpenDocument : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        drawing = MakeDrawing(dir, 2);
        ASSERT_TRUE(server.AddDocument("drawing.pdf", testsupport::ReadFileBytes(drawing)));
    }
    LaunchParams Params(const std::string& element) {
        return ReviewerParams(server, "KIM", "PIPING", element);
    }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    PromptRecorder prompts;
};

TEST_F(OpenDocument, DownloadsOpensAndHandsTheCallbacksToTheWorker) {
    DialogUnderTest t(Params("drawing"));
    ASSERT_TRUE(t.dialog->OnInitDialog());
    EXPECT_FALSE(t.terminated);
    EXPECT_TRUE(prompts->entries().empty());
    EXPECT_EQ(t.dialog->PageCount(), 2);
    EXPECT_EQ(CPdfViewerSdk::Instance(), &t.dialog->Control());
    ASSERT_NE(t.dialog->Worker(), nullptr);
    EXPECT_EQ(t.dialog->Worker()->Session().LatestRevision(), 0);
    const AutosaveCallbacks& cb = t.dialog->Worker()->Callbacks();
    EXPECT_TRUE(cb.onRemoteAnnotCreated && cb.onRemoteAnnotUpdated && cb.onRemoteAnnotDeleted &&
                cb.slot4 && cb.onRemoteRepliesChanged && cb.slot6 && cb.onRemoteAnnotRegistered &&
                cb.showCommentInViewer);
    EXPECT_FALSE(cb.slot7);

    // The control fills the client area, the page's left edge included.
    EXPECT_EQ(CPdfViewerDlg::ViewerGeometry(QSize(900, 700)), QRect(0, 0, 900, 700));
    t.dialog->resize(700, 500);
    t.dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(t.dialog->Viewer()->geometry(), QRect(0, 0, 700, 500));
    t.dialog->hide();
    EXPECT_EQ(t.dialog->palette().color(QPalette::Window), QColor(171, 171, 169));

    // Closing deletes the downloaded file.
    const std::string file = (t.folder / "document").string();
    EXPECT_TRUE(std::filesystem::exists(file));
    t.dialog->CloseDocument();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(t.dialog->Control().PageCount(), 0);
}

TEST_F(OpenDocument, ElementIdIsSentWholeNeverAsFurtherQueryParameters) {
    // Taken apart at its "&", this id would ask for "other.pdf"; whole, it names no document.
    ASSERT_TRUE(server.AddDocument("other.pdf", testsupport::ReadFileBytes(drawing)));
    DialogUnderTest t(Params("other.pdf&x="));
    EXPECT_FALSE(t.dialog->OnInitDialog());
    EXPECT_TRUE(t.terminated);
}

TEST_F(OpenDocument, DownloadThatIsNoPdfEndsTheClientLikeAFailedDownload) {
    // An error page served with status 200, and a file cut off after its header.
    ASSERT_TRUE(server.AddDocument("error.pdf", "<html><body>Server busy</body></html>"));
    const std::string bytes = testsupport::ReadFileBytes(drawing);
    ASSERT_TRUE(server.AddDocument("cut.pdf", bytes.substr(0, 64)));
    for (const char* element : {"error", "cut"}) {
        DialogUnderTest t(Params(element));
        EXPECT_FALSE(t.dialog->OnInitDialog()) << element;
        EXPECT_TRUE(t.terminated) << element;
        EXPECT_EQ(t.dialog->Worker(), nullptr);
    }
    const auto entries = prompts->entries();
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& e : entries) {
        EXPECT_EQ(e.kind, platform::PromptKind::Error);
        EXPECT_EQ(e.text, "PDF download fail.");
    }
}

// Prints prompts where the parent of a death test can read them.
class StderrPrompter : public platform::Prompter {
public:
    platform::PromptAnswer Show(platform::PromptKind kind, const std::string& text, bool) override {
        std::fprintf(stderr, "%s\t%s\n", platform::PromptKindName(kind), text.c_str());
        std::fflush(stderr);
        return platform::PromptAnswer::Ok;
    }
};

// A death test runs before the others, while the program has no threads; the child is a
// fork that ends itself through TerminateClient.
using OpenDocumentDeathTest = OpenDocument;

TEST_F(OpenDocumentDeathTest, DownloadAnsweredNotFoundEndsTheClientAfterItsMessage) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const LaunchParams params = Params("nothing-here");
    EXPECT_EXIT(
        {
            EnsureApp();
            platform::InstallPrompter(std::make_unique<StderrPrompter>());
            CPdfViewerDlg::Context context;
            context.params = &params;
            context.workingFolder = dir.str();
            context.documentFile = (dir / "document").string();
            context.registryRoot = (dir / "registry").string();
            CPdfViewerDlg dialog(std::move(context));  // the real TerminateClient
            dialog.OnInitDialog();
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "error\tPDF download fail\\.\n$");
    EXPECT_FALSE(std::filesystem::exists(dir / "document"));
}

}  // namespace
}  // namespace dialogtest
