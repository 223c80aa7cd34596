// Ctrl+V pastes the comment the copy buffer names, even after a merge moved it on its page.
#include <gtest/gtest.h>
#include <QKeyEvent>

#include "control/pdf_viewer_control.h"
#include "sync/autosave_worker.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::sync;
using namespace quill::viewer;

namespace dialogtest {
namespace {

using control::AnnotTool;

TEST(PasteByName, ACommentMovedByAMergeIsStillTheOneCopied) {
    testsupport::ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();
    testsupport::TempDir dir;
    const std::string drawing = MakeDrawing(dir, 1);
    ASSERT_TRUE(server.AddDocument("drawing.pdf", testsupport::ReadFileBytes(drawing)));
    PromptRecorder prompts;
    OtherReviewer other(server, drawing, "LEE", "LEE-ELECTRICAL");
    DialogUnderTest t(ReviewerParams(server, "KIM", "PIPING", "drawing"));
    ASSERT_TRUE(t.dialog->OnInitDialog());
    control::PdfViewerControl& viewer = t.dialog->Control();

    other.Draw(AnnotTool::Rectangle, 0);
    other.Draw(AnnotTool::Cloudy, 0);
    ASSERT_GT(other.Publish(), 0);
    t.dialog->ReloadComments();
    ASSERT_EQ(viewer.GetPage(0).AnnotCount(), 2);
    const std::string cloud = viewer.GetPage(0).GetAnnot(1).GetName();
    ASSERT_EQ(viewer.GetPage(0).GetAnnot(1).GetToolName(), "Cloudy");
    t.copy.name = cloud;
    t.copy.page = 0;
    t.copy.annotIndex = 1;

    // The rectangle goes and a circle comes: the cloud now stands at 0, the circle at 1.
    auto& oc = other.control();
    oc.GetPage(0).RemoveAnnot(oc.GetPage(0).GetAnnot(0));
    ASSERT_EQ(other.worker().QueueDeleteComment(0, 0), 1);
    other.Draw(AnnotTool::Circle, 0);
    ASSERT_GT(other.Publish(), 0);
    ASSERT_GT(t.dialog->Worker()->GetLastestRevisions(), 0);
    ASSERT_EQ(viewer.GetPage(0).AnnotCount(), 2);
    ASSERT_EQ(viewer.GetPage(0).GetAnnot(0).GetName(), cloud);

    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(t.dialog->PreTranslateKey(paste));
    ASSERT_EQ(viewer.GetPage(0).AnnotCount(), 3);
    EXPECT_EQ(viewer.GetPage(0).GetAnnot(2).GetToolName(), "Cloudy");
    EXPECT_FALSE(t.copy.HoldsComment());
}

}  // namespace
}  // namespace dialogtest
