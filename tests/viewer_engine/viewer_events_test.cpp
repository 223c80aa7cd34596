// Events fire for the user's changes only.
#include <gtest/gtest.h>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "support/viewer_event_recorder.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;

using Recorder = testsupport::ViewerEventRecorder;

class ViewerEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SamplePdfOptions o;
        o.pageCount = 2;
        pdf = enginetest::MakeDrawing(dir, "drawing.pdf", o);
        ASSERT_TRUE(control.OpenFile(pdf, nullptr));
        control.SetEventListener(&events);
    }
    testsupport::TempDir dir;
    std::string pdf;
    EngineControl control;
    Recorder events;
};

TEST_F(ViewerEventsTest, UserChangesFireTheirEventsAfterTheChange) {
    const auto drafts = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0));
    const control::AnnotId rect = control.UserCreateAnnot(drafts[3]);
    const control::AnnotId line = control.UserCreateAnnot(drafts[2]);
    ASSERT_TRUE(rect && line);
    EXPECT_TRUE(control.UserMoveAnnot(line, 5, 5));
    EXPECT_TRUE(control.UserChangeAnnot(rect, [](control::PdfAnnot& a) { a.SetColor(0xFF0000); }));
    const control::AnnotId reply = control.UserAddReply(rect, "why?");
    const std::string replyName = control::PdfReply(&control, reply).GetName();
    EXPECT_TRUE(control.UserEditReply(reply, "why not?"));
    EXPECT_TRUE(control.UserDeleteReply(reply));
    // A move to another page: deleted at the old place, modified at the new one.
    EXPECT_TRUE(control.UserMoveAnnotToPage(rect, 1, 0, 0));
    EXPECT_TRUE(control.UserDeleteAnnot(line));
    const std::vector<std::string> expected = {"added 0,0",
                                               "added 0,1",
                                               "modified 0,1",
                                               "modified 0,0",
                                               "reply added 0,0 " + replyName,
                                               "reply modified 0,0 " + replyName,
                                               "reply deleted 0,0 " + replyName,
                                               "deleted 0,0",
                                               "modified 1,0",
                                               "deleted 0,0"};
    EXPECT_EQ(events.log, expected);
    EXPECT_EQ(control.GetPage(1).GetAnnot(0).Color(), 0xFF0000);
}

TEST_F(ViewerEventsTest, ImportRemoveAndSettersFireNothing) {
    enginetest::CreateEveryTool(control, 0);
    const std::string path = (dir / "all.fdf").string();
    ASSERT_TRUE(control.ExportAnnotsToFDFFile(path));
    ASSERT_TRUE(control.ImportAnnotsFromFDFFile(path));
    control::PdfPage page = control.GetPage(0);
    control::PdfAnnot a = page.GetAnnot(0);
    a.SetAuthor("KIM-PIPING");
    a.SetColor(0x123456);
    a.SetThickness(3);
    a.SetBorderStyle(2);
    a.SetSubject("cloudy");
    a.SetModDate(46000);
    a.SetShown(false);
    a.SetReadOnly(true);
    a.GetReplies();
    page.RemoveAnnot(a);
    EXPECT_TRUE(events.log.empty());
}

TEST_F(ViewerEventsTest, ReadOnlyCommentsRefuseTheUsersChanges) {
    const auto drafts = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0));
    const control::AnnotId id = control.CreateAnnot(drafts[3]);
    control::PdfAnnot a(&control, id);
    a.SetReadOnly(true);
    EXPECT_FALSE(control.UserMoveAnnot(id, 1, 1));
    EXPECT_FALSE(control.UserDeleteAnnot(id));
    EXPECT_FALSE(control.UserMoveAnnotToPage(id, 1, 0, 0));
    EXPECT_TRUE(events.log.empty());
    // Others may still answer it.
    EXPECT_NE(control.UserAddReply(id, "seen"), 0u);
    EXPECT_EQ(events.log.size(), 1u);
}

TEST_F(ViewerEventsTest, HandlersMayCallBackIntoTheControl) {
    struct Styler : control::PdfViewerEvents {
        EngineControl* c = nullptr;
        std::string fdf;
        void AnnotAdded(int32_t p, int32_t i) override {
            control::PdfAnnot a = c->GetPage(p).GetAnnot(i);
            a.SetAuthor("KIM-PIPING");
            a.SetColor(0x00FF00);
            a.SetThickness(2);
            a.SetBorderStyle(9);
            c->ExportAnnotsToFDFFile(fdf);
        }
    } styler;
    styler.c = &control;
    styler.fdf = (dir / "in-handler.fdf").string();
    control.SetEventListener(&styler);
    const auto drafts = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0));
    ASSERT_NE(control.UserCreateAnnot(drafts[5]), 0u);
    const std::string text = testsupport::ReadFileBytes(styler.fdf);
    EXPECT_NE(text.find("/T(KIM-"), std::string::npos);
    EXPECT_NE(text.find("/BE<</S/C/I 2>>"), std::string::npos);
}

}  // namespace
