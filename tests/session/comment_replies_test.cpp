// Replies of the reviewer: the reply the event names gets the reviewer's name, is queued and
// logged in the system code page; deleting a reply takes its own replies along.
#include <fstream>

#include "app/logs.h"
#include "platform/code_page.h"
#include "session/handler_fixture.h"
#include "session/reply_lookup.h"

namespace sessiontest {
namespace {

using control::AnnotTool;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ReplyTest : public HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        platform::SetSystemCodePageForTesting("CP949");
        requestLog = (dir / "request.log").string();
        app::ConfigureLogs((dir / "diagnostic.log").string(), requestLog);
        Start();
        at = Draw(AnnotTool::Rectangle);
        comment = AnnotAt(0, at).GetName();
    }
    void TearDown() override {
        app::ConfigureLogs("", "");
        platform::SetSystemCodePageForTesting("");
        HandlerTest::TearDown();
    }
    control::PdfReply Reply(control::AnnotId id) { return control::PdfReply(engine.get(), id); }

    std::string requestLog;
    int at = -1;
    std::string comment;
};

TEST_F(ReplyTest, AReplyGetsTheReviewersNameAndIsQueuedAndLoggedInTheCodePage) {
    const std::string text = platform::Utf8ToAnsi("확인했습니다");
    ASSERT_EQ(text.substr(0, 2), "\xC8\xAE");
    const control::AnnotId id = engine->UserAddReply(IdAt(0, at), text);
    ASSERT_NE(id, 0u);
    const std::string name = Reply(id).GetName();
    EXPECT_EQ(Reply(id).GetAuthor(), kAuthor);
    EXPECT_EQ(index[comment].replyCount, 1);
    EXPECT_NE(worker->PageMaps().Find(0, name), nullptr);
    const std::string log = ReadText(requestLog);
    EXPECT_NE(
        log.find("]" + name + ", REPLY=C," + comment + ",0," + std::to_string(at) + "," + text),
        std::string::npos)
        << log;

    const std::string changed = platform::Utf8ToAnsi("수정");
    ASSERT_TRUE(engine->UserEditReply(id, changed));
    EXPECT_NE(ReadText(requestLog)
                  .find(name + ", REPLY=U," + comment + ",0," + std::to_string(at) + "," + changed),
              std::string::npos);
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"create " + comment, "create " + name, "update " + name}));
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(ReplyTest, TheNamedReplyIsStampedWhateverTheDatesOfTheOthers) {
    // Another reviewer's reply whose clock runs an hour ahead.
    const control::AnnotId theirs = engine->AddReply(IdAt(0, at), "Later", "LEE-ELECTRICAL");
    const double now = engine->GetModDate(theirs);
    engine->SetModDate(theirs, now + 1.0 / 24);
    const control::AnnotId mine = engine->UserAddReply(IdAt(0, at), "Mine");
    EXPECT_EQ(Reply(mine).GetAuthor(), kAuthor);
    EXPECT_EQ(Reply(theirs).GetAuthor(), "LEE-ELECTRICAL");
    EXPECT_NE(ReadText(requestLog).find(",Mine"), std::string::npos);

    // A reply dated 0 is no newer than nothing: found by its name all the same.
    const control::AnnotId undated = engine->AddReply(mine, "Undated", "someone");
    engine->SetModDate(undated, 0);
    handler->ReplyAdded(0, at, Reply(undated).GetName());
    EXPECT_EQ(Reply(undated).GetAuthor(), kAuthor);
    EXPECT_EQ(Reply(theirs).GetAuthor(), "LEE-ELECTRICAL");

    // A name the control does not know: the newest reply, if any is dated.
    const control::PdfReplyList replies = AnnotAt(0, at).GetReplies();
    EXPECT_EQ(session::NewestReply(replies).Id(), theirs);
    EXPECT_EQ(session::ReplyOfEvent(replies, "unknown").Id(), theirs);
    EXPECT_EQ(session::FindReplyByName(replies, Reply(undated).GetName()).Id(), undated);
    engine->SetModDate(theirs, 0);
    engine->SetModDate(mine, 0);
    EXPECT_FALSE(session::NewestReply(replies).IsValid());
    handler->ReplyAdded(0, at, "unknown");
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(ReplyTest, DeletingAReplyQueuesItsOwnRepliesDeepestFirst) {
    const control::AnnotId parent = engine->UserAddReply(IdAt(0, at), "Move it?");
    const control::AnnotId child = engine->UserAddReply(parent, "Where to?");
    const control::AnnotId grandchild = engine->UserAddReply(child, "East.");
    const control::AnnotId sibling = engine->UserAddReply(IdAt(0, at), "Keep it.");
    const std::string p = Reply(parent).GetName(), c = Reply(child).GetName(),
                      g = Reply(grandchild).GetName(), s = Reply(sibling).GetName();
    ASSERT_EQ(Sent().size(), 5u);
    EXPECT_EQ(session::RecordedDescendants(worker->PageMaps(), 0, p),
              (std::vector<std::string>{g, c}));

    ASSERT_TRUE(engine->UserDeleteReply(parent));
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 5, sent.end()),
              (std::vector<std::string>{"delete " + g, "delete " + c, "delete " + p}));
    EXPECT_EQ(worker->PageMaps().Find(0, c), nullptr);
    EXPECT_NE(worker->PageMaps().Find(0, s), nullptr);
    EXPECT_EQ(index[comment].replyCount, 1);
    EXPECT_NE(ReadText(requestLog).find(p + ", REPLY=D," + comment + ",0," + std::to_string(at)),
              std::string::npos);
}

}  // namespace
}  // namespace sessiontest
