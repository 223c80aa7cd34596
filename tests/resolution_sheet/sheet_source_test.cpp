// The sheet read straight from a document (comments and nested replies) and decision files.
#include <gtest/gtest.h>

#include <filesystem>

#include "control/pdf_page.h"
#include "session/resolution_sheet_source.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

namespace quill::session {
namespace {

TEST(SheetSource, CommentsComeInPageOrderWithRepliesDepthFirst) {
    const auto dir = std::filesystem::temp_directory_path() / "quill_sheet_source_test";
    std::filesystem::create_directories(dir);
    const std::string pdf = (dir / "drawing.pdf").string();
    engine::SamplePdfOptions options;
    options.pageCount = 2;
    options.rotations = {0, 0};
    std::string error;
    ASSERT_TRUE(engine::WriteSamplePdf(options, pdf, &error)) << error;

    engine::EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    control.SetDefaultAuthor("kim-civil");
    const auto drafts0 = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0));
    const auto drafts1 = engine::SampleAnnotDrafts(1, control.PageGeometryOf(1));
    ASSERT_GE(drafts0.size(), 2u);
    ASSERT_FALSE(drafts1.empty());
    const engine::AnnotId onSecond = control.CreateAnnot(drafts1[0]);
    const engine::AnnotId first = control.CreateAnnot(drafts0[0]);
    control.CreateAnnot(drafts0[1]);
    ASSERT_NE(first, 0u);
    ASSERT_NE(onSecond, 0u);
    const engine::AnnotId reply = control.AddReply(first, "why?", "lee-piping");
    control.AddReply(reply, "because", "kim-civil");
    control.AddReply(first, "ok", "park-elec");

    const auto comments = SheetCommentsFromControl(control);
    ASSERT_EQ(comments.size(), 3u);
    EXPECT_EQ(comments[0].pageIndex, 0);
    EXPECT_EQ(comments[1].pageIndex, 0);
    EXPECT_EQ(comments[2].pageIndex, 1);
    EXPECT_EQ(comments[0].name, control.GetPage(0).GetAnnot(0).GetName());
    EXPECT_EQ(comments[0].author, "kim-civil");
    using Reply = std::pair<std::string, std::string>;
    EXPECT_EQ(comments[0].replies,
              (std::vector<Reply>{
                  {"lee-piping", "why?"}, {"kim-civil", "because"}, {"park-elec", "ok"}}));
    EXPECT_TRUE(comments[1].replies.empty());

    const auto rows = CollectSheetRows(comments, {{comments[2].name, "N"}});
    EXPECT_EQ(rows.at(2).decision, "Do Not Apply");
    EXPECT_EQ(rows.at(0).replies.at(1), "kim-civil: because");
    std::filesystem::remove_all(dir);
}

TEST(SheetSource, DecisionFilesAreTheServersReply) {
    std::map<std::string, std::string> decisions{{"stale", "Y"}};
    ASSERT_TRUE(ReadSheetDecisions(
        R"({"cmntReview":[{"cmntId":"a","review":"Y"},{"cmntId":"b","review":"C"}]})", decisions));
    EXPECT_EQ(decisions, (std::map<std::string, std::string>{{"a", "Y"}, {"b", "C"}}));
    std::string error;
    EXPECT_FALSE(ReadSheetDecisions("", decisions, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadSheetDecisions("{\"cmntReview\":", decisions));
    EXPECT_FALSE(ReadSheetDecisions("%FDF-1.2 not json", decisions));
}

}  // namespace
}  // namespace quill::session
