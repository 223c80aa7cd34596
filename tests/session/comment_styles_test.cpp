// New comments of the reviewer: stamped with the reviewer's name and colour, styled from the
// tool's remembered style, queued; a changed comment remembers its tool's style; a failing
// queue shows its message.
#include <fstream>

#include "platform/code_page.h"
#include "platform/registry_store.h"
#include "session/handler_fixture.h"

namespace sessiontest {
namespace {

using control::AnnotTool;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(HandlerTest, ANewCloudIsTheReviewersWithTheDefaultStyleAndIsQueued) {
    Start();
    engine::AnnotDraft draft = Draft(AnnotTool::Cloudy);
    draft.style.width = 3;
    const control::AnnotId id = engine->UserCreateAnnot(draft);
    control::PdfAnnot cloud = AnnotAt(0, engine->AnnotIndexOf(id));
    const std::string name = cloud.GetName();
    EXPECT_EQ(cloud.Author(), kAuthor);
    EXPECT_EQ(cloud.Color(), kColor);
    EXPECT_EQ(cloud.Thickness(), 1);
    EXPECT_EQ(cloud.BorderStyle(), 9);
    const std::string fdf = (dir / "all.fdf").string();
    ASSERT_TRUE(engine->ExportAnnotsToFDFFile(fdf));
    EXPECT_NE(ReadText(fdf).find("/S/C/I 2"), std::string::npos);

    EXPECT_TRUE(cloud.IsShown());
    ASSERT_EQ(index.count(name), 1u);
    EXPECT_EQ(index[name].author, kAuthor);
    EXPECT_NE(index[name].record, nullptr);
    EXPECT_EQ(pending.creates.count(name), 1u);
    EXPECT_EQ(sink.refills, 1);
    EXPECT_EQ(Sent(), std::vector<std::string>{"create " + name});
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(HandlerTest, AChangedRectangleStyleIsStoredAndTakenByTheNextRectangle) {
    Start();
    const int first = Draw(AnnotTool::Rectangle);
    ASSERT_EQ(AnnotAt(0, first).Thickness(), 1);
    ASSERT_TRUE(engine->UserChangeAnnot(IdAt(0, first), [](control::PdfAnnot& a) {
        a.SetThickness(2);
        a.SetBorderStyle(3);
    }));
    platform::RegistryStore store(registryRoot);
    const std::string key = session::ToolSettings::ToolKeyPath("RECTANGLE");
    EXPECT_EQ(store.ReadValue(key, "Thickness"), "2");
    EXPECT_EQ(store.ReadValue(key, "BorderStyle"), "3");
    const std::string name = AnnotAt(0, first).GetName();
    EXPECT_EQ(pending.creates.count(name), 1u);

    const int second = Draw(AnnotTool::Rectangle);
    EXPECT_EQ(AnnotAt(0, second).Thickness(), 2);
    EXPECT_EQ(AnnotAt(0, second).BorderStyle(), 3);
    // Another tool keeps its own.
    const int line = Draw(AnnotTool::Line);
    EXPECT_EQ(AnnotAt(0, line).Thickness(), 1);
    EXPECT_EQ(AnnotAt(0, line).BorderStyle(), 1);
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], "update " + name);
}

TEST_F(HandlerTest, CommentsOfNoDrawingToolKeepTheLineTheyWereDrawnWith) {
    Start();
    for (AnnotTool tool : {AnnotTool::Distance, AnnotTool::Callout, AnnotTool::Area}) {
        SCOPED_TRACE(control::AnnotToolName(tool));
        engine::AnnotDraft draft = Draft(tool);
        draft.style.width = 2;
        const control::AnnotId id = engine->UserCreateAnnot(draft);
        control::PdfAnnot annot = AnnotAt(0, engine->AnnotIndexOf(id));
        EXPECT_EQ(annot.Thickness(), 2);
        EXPECT_EQ(annot.Author(), kAuthor);
        EXPECT_EQ(index.count(annot.GetName()), 1u);
    }
    // The ellipse's key is never loaded: nothing stored, nothing applied.
    engine::AnnotDraft circle = Draft(AnnotTool::Circle);
    circle.style.width = 4;
    circle.style.borderStyle = 2;
    const control::AnnotId id = engine->CreateAnnot(circle);
    control::PdfAnnot ellipse = AnnotAt(0, engine->AnnotIndexOf(id));
    ellipse.SetSubject("Ellipse");
    handler->AnnotAdded(0, ellipse.Index());
    EXPECT_EQ(ellipse.Thickness(), 4);
    EXPECT_EQ(ellipse.BorderStyle(), 2);
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(HandlerTest, StoredValuesThatAreNoUsableStyleLeaveTheDrawnOne) {
    platform::RegistryStore store(registryRoot);
    const std::string key = session::ToolSettings::ToolKeyPath("RECTANGLE");
    for (const char* bad : {"abc", "0", "99999", "-1", ""}) {
        SCOPED_TRACE(bad);
        store.WriteValue(key, "Thickness", bad);
        store.WriteValue(key, "BorderStyle", bad);
        if (!handler) Start();
        tools->LoadToolSettings();
        engine::AnnotDraft draft = Draft(AnnotTool::Rectangle);
        draft.style.width = 3;
        draft.style.borderStyle = 4;
        const control::AnnotId id = engine->UserCreateAnnot(draft);
        control::PdfAnnot rect = AnnotAt(0, engine->AnnotIndexOf(id));
        EXPECT_EQ(rect.Thickness(), 3);
        EXPECT_EQ(rect.BorderStyle(), 4);
    }
    // One good value and one bad: each stands on its own.
    store.WriteValue(key, "Thickness", "5");
    store.WriteValue(key, "BorderStyle", "x");
    tools->LoadToolSettings();
    control::PdfAnnot rect = AnnotAt(0, Draw(AnnotTool::Rectangle));
    EXPECT_EQ(rect.Thickness(), 5);
    EXPECT_EQ(rect.BorderStyle(), 1);
}

TEST_F(HandlerTest, AQueueThatCannotExportShowsItsMessageAndTheCommentStaysUnlisted) {
    const std::string file = (dir / "plain-file").string();
    std::ofstream(file) << "not a folder";
    Start(file + "/work");
    const int at = Draw(AnnotTool::Rectangle);
    control::PdfAnnot rect = AnnotAt(0, at);
    ASSERT_TRUE(rect.IsValid());
    EXPECT_EQ(rect.Author(), kAuthor);
    EXPECT_TRUE(index.empty());
    EXPECT_TRUE(pending.creates.empty());
    ASSERT_EQ(Prompts().size(), 1u);
    EXPECT_EQ(Prompts()[0].kind, platform::PromptKind::Error);
    EXPECT_EQ(Prompts()[0].text, "Cannot export FDF file.");

    // Its change has no record: it comes back as a posted move, which adds it again (and
    // fails the same way, told again).
    ASSERT_TRUE(engine->UserMoveAnnot(IdAt(0, at), 5, 5));
    ASSERT_EQ(sink.posts.size(), 1u);
    sink.Deliver();
    EXPECT_EQ(Prompts().size(), 2u);
    handler->ReplyAdded(0, at, "no-such-reply");
    EXPECT_EQ(Prompts().size(), 3u);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace sessiontest
