// Deleted and moved comments: the deletion posted before the move, the move sent as a deletion,
// a move and a creation of one name, the stale move, and the comment list's delete request.
#include "session/handler_fixture.h"

#include "sync/page_map_upkeep.h"

namespace sessiontest {
namespace {

using control::AnnotTool;

TEST_F(HandlerTest, AMoveToAnotherPageIsQueuedAsDeleteMoveCreateAndKeepsItsOwner) {
    Start();
    const int at = Draw(AnnotTool::Rectangle);
    const std::string name = AnnotAt(0, at).GetName();
    // Another reviewer's comment, as the initiator sees it.
    AnnotAt(0, at).SetAuthor("LEE-ELECTRICAL");
    AnnotAt(0, at).SetColor(0x000000FF);
    AnnotAt(0, at).SetThickness(3);
    ASSERT_EQ(Sent(), std::vector<std::string>{"create " + name});

    ASSERT_TRUE(engine->UserMoveAnnotToPage(IdAt(0, at), 1, 0, 0));
    ASSERT_EQ(AnnotAt(1, 0).GetName(), name);
    ASSERT_EQ(sink.posts, (std::vector<std::string>{"deleted " + name, "moved 1,0 " + name}));
    EXPECT_EQ(handler->LastDeletedName(), name);
    EXPECT_EQ(index.count(name), 0u);
    sink.Deliver();

    // Delivered in firing order: the deletion's flag is set, then the move clears it.
    EXPECT_EQ(pending.deletes.at(name), 0);
    EXPECT_EQ(handler->LastDeletedName(), "");
    control::PdfAnnot annot = AnnotAt(1, 0);
    EXPECT_EQ(annot.Author(), "LEE-ELECTRICAL");
    EXPECT_EQ(annot.Color(), 0x000000FF);
    EXPECT_EQ(annot.Thickness(), 3);
    ASSERT_EQ(index.count(name), 1u);
    EXPECT_EQ(index[name].pageIndex, 1);
    EXPECT_EQ(index[name].author, "LEE-ELECTRICAL");
    ASSERT_NE(worker->PageMaps().Find(1, name), nullptr);
    EXPECT_EQ(worker->PageMaps().Find(0, name), nullptr);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"create " + name, "delete " + name,
                                                "move " + name + " 0>1", "create " + name}));
}

TEST_F(HandlerTest, AChangeOfAnUnrecordedCommentIsNoMoveOfTheCommentDeletedLast) {
    Start();
    const int gone = Draw(AnnotTool::Cloudy);
    const std::string deleted = AnnotAt(0, gone).GetName();
    ASSERT_TRUE(engine->UserDeleteAnnot(IdAt(0, gone)));
    sink.Deliver();
    ASSERT_EQ(pending.deletes.at(deleted), 1);

    // A comment whose add never reached the queue, changed by the reviewer.
    const control::AnnotId id = engine->CreateAnnot(Draft(AnnotTool::Line));
    const std::string fresh = AnnotAt(0, engine->AnnotIndexOf(id)).GetName();
    ASSERT_TRUE(engine->UserMoveAnnot(id, 10, 10));
    sink.Deliver();

    EXPECT_EQ(pending.deletes.at(deleted), 1) << "the real deletion keeps its flag";
    EXPECT_EQ(handler->LastDeletedName(), deleted);
    EXPECT_EQ(AnnotAt(0, engine->AnnotIndexOf(id)).Author(), kAuthor);
    EXPECT_EQ(index.count(fresh), 1u);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"create " + deleted, "delete " + deleted,
                                                "create " + fresh}));
    // Delivered twice (a second change before the first was through): recorded once.
    handler->OnCommentMoved(0, engine->AnnotIndexOf(id), fresh);
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(HandlerTest, TheListsDeleteRequestAsksForOwnCommentsAndRefusesLockedOnes) {
    Start();
    const int mine = Draw(AnnotTool::Rectangle);
    const int locked = Draw(AnnotTool::Line);
    const std::string mineName = AnnotAt(0, mine).GetName();
    const std::string lockedName = AnnotAt(0, locked).GetName();
    AnnotAt(0, locked).SetReadOnly(true);

    handler->OnDeleteRequest(0, lockedName);
    ASSERT_EQ(Prompts().size(), 1u);
    EXPECT_EQ(Prompts()[0].kind, platform::PromptKind::Plain);
    EXPECT_EQ(Prompts()[0].text,
              "You can delete your comments and the engineers\nin the same discipline as you "
              "only.");
    EXPECT_EQ(engine->GetPage(0).AnnotCount(), 2);

    // Answered No: nothing happens.
    handler->OnDeleteRequest(0, mineName);
    ASSERT_EQ(Prompts().size(), 2u);
    EXPECT_EQ(Prompts()[1].kind, platform::PromptKind::Question);
    EXPECT_EQ(Prompts()[1].text, "Do you want to delete the comment(s)?");
    EXPECT_EQ(engine->GetPage(0).AnnotCount(), 2);

    auto yes = std::make_unique<platform::ScriptedPrompter>(
        std::vector<platform::PromptAnswer>{platform::PromptAnswer::Yes});
    platform::ScriptedPrompter* answered = yes.get();
    platform::InstallPrompter(std::move(yes));
    handler->OnDeleteRequest(0, mineName);
    EXPECT_EQ(answered->entries().size(), 1u);
    ASSERT_EQ(engine->GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(AnnotAt(0, 0).GetName(), lockedName);
    EXPECT_EQ(index.count(mineName), 0u);
    EXPECT_EQ(worker->PageMaps().Find(0, mineName), nullptr);
    EXPECT_EQ(sink.posts, std::vector<std::string>{"deleted " + mineName});
    sink.Deliver();
    EXPECT_EQ(pending.deletes.at(mineName), 1);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"create " + mineName, "create " + lockedName,
                                                "delete " + mineName}));

    // A name no longer recorded (a merge removed it) or never known: nothing, not even a
    // question.
    handler->OnDeleteRequest(0, mineName);
    handler->OnDeleteRequest(5, lockedName);
    handler->OnDeleteRequest(0, "");
    EXPECT_EQ(answered->entries().size(), 1u);
}

// Answers Yes after running a change in the middle of the question, as a merge on a timer can.
class MergingPrompter : public platform::Prompter {
public:
    explicit MergingPrompter(std::function<void()> merge) : merge_(std::move(merge)) {}
    platform::PromptAnswer Show(platform::PromptKind, const std::string&, bool) override {
        ++shown;
        if (merge_) merge_();
        return platform::PromptAnswer::Yes;
    }
    int shown = 0;

private:
    std::function<void()> merge_;
};

TEST_F(HandlerTest, ADeleteRequestForACommentAMergeRemovedMeanwhileDoesNothing) {
    Start();
    Draw(AnnotTool::Rectangle);
    const int kept = Draw(AnnotTool::Line);
    const std::string name = AnnotAt(0, 0).GetName();
    const std::string keptName = AnnotAt(0, kept).GetName();
    Sent();
    auto prompter = std::make_unique<MergingPrompter>([&] {
        // What OnRemoteAnnotDeleted does for another client's deletion.
        control::PdfPage page = engine->GetPage(0);
        page.RemoveAnnot(page.GetAnnot(0));
        sync::pagemaps::Remove(worker->PageMaps(), 0, name);
        sync::pagemaps::LowerIndicesAbove(worker->PageMaps(), 0, 0);
    });
    MergingPrompter* asked = prompter.get();
    platform::InstallPrompter(std::move(prompter));
    handler->OnDeleteRequest(0, name);
    EXPECT_EQ(asked->shown, 1);
    ASSERT_EQ(engine->GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(AnnotAt(0, 0).GetName(), keptName);
    EXPECT_NE(worker->PageMaps().Find(0, keptName), nullptr);
    EXPECT_TRUE(sink.posts.empty());
    EXPECT_EQ(Sent().size(), 2u);
}

}  // namespace
}  // namespace sessiontest
