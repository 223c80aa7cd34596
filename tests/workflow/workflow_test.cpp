// The publish, close and finish flows and the review decisions against the bundled server,
// with its injected faults.
#include <gtest/gtest.h>

#include <functional>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/logs.h"
#include "app/pending_details.h"
#include "platform/prompter.h"
#include "review/review_client.h"
#include "review/review_replies.h"
#include "session/review_workflow.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "sync_autosave/review_client.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;
using namespace quill::session;

namespace {

using control::AnnotTool;
using Entry = ScriptedPrompter::Entry;

class Workflow : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ReviewServerProcess::Options options;
        options.seedDemo = true;
        ASSERT_TRUE(server.Start(options)) << server.error();
        drawing = autosavetest::MakeDrawing(dir, 2);
        reviewer = std::make_unique<autosavetest::ReviewClient>(server, drawing, "reviewer1");
        params.HOST = server.host();
        params.PORT = server.port();
        params.USERID = "reviewer1";
        params.OPENERID = "opener1";
        params.docId = autosavetest::kDocId;
        params.SQURVWMNO = 1001;
        params.RVWFILESEQ = 1;
        params.PATCPSEQ = 2;
        client = std::make_unique<review::ReviewClient>(params, reviewer->worker().Session());
        ConfigureLogs((dir / "diagnostic.log").string(), (dir / "request.log").string());
    }
    void TearDown() override {
        workflow.reset();
        reviewer.reset();
        ConfigureLogs("", "");
    }

    // A workflow whose questions are answered in order.
    ReviewWorkflow& Make(std::vector<PromptAnswer> answers, bool drains = true,
                         std::function<void()> betweenRequests = {}) {
        prompts = std::make_unique<ScriptedPrompter>(std::move(answers));
        ReviewWorkflow::Parts parts;
        parts.client = client.get();
        parts.session = &reviewer->worker().Session();
        parts.index = &index;
        parts.pending = &pending;
        parts.prompter = prompts.get();
        parts.watcher = watcher;
        parts.worker = [this] { return &reviewer->worker(); };
        parts.takeInComments = [this] {
            ++takeIns;
            reviewer->worker().GetLastestRevisions();
        };
        parts.cardChanged = [this](const std::string& name, const std::string& label) {
            cards << name << "=" << label << ";";
        };
        if (!drains) parts.waitForDrain = [] { return false; };
        parts.betweenRequests = std::move(betweenRequests);
        workflow = std::make_unique<ReviewWorkflow>(std::move(parts));
        return *workflow;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Entry& e : prompts->entries()) texts.push_back(e.text);
        return texts;
    }
    int Unpublished() const {
        auto reply = server.Get("/Comm/checkautosaved.do?docId=10011&userId=reviewer1");
        return std::atoi(reply.body.c_str());
    }
    // The reviewer draws a comment and the worker sends it.
    void DrawAndSend() {
        reviewer->Draw(AnnotTool::Rectangle, 0);
        ASSERT_TRUE(reviewer->Flush());
    }
    std::string RequestLog() const {
        std::ifstream in((dir / "request.log").string(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void TakeInOthers() {
        reviewer->worker().GetLastestRevisions();
        ASSERT_EQ(reviewer->worker().Session().LatestRevision(), 2);
    }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    std::unique_ptr<autosavetest::ReviewClient> reviewer;
    LaunchParams params;
    std::unique_ptr<review::ReviewClient> client;
    CommentIndex index;
    PendingDetails pending;
    std::shared_ptr<WatcherState> watcher = std::make_shared<WatcherState>();
    std::unique_ptr<ScriptedPrompter> prompts;
    std::unique_ptr<ReviewWorkflow> workflow;
    int takeIns = 0;
    std::stringstream cards;
};

TEST_F(Workflow, PublishAsksToTakeInOthersCommentsFirstAndNoPublishesNothing) {
    DrawAndSend();
    watcher->newCommentCount = 2;
    // The seed holds two revisions of others: declining publishes nothing.
    EXPECT_EQ(Make({PromptAnswer::No}).PublishComments(true), PublishOutcome::kDeclined);
    EXPECT_EQ(Texts(), std::vector<std::string>{
                           "New comments are published.\nDo you want to check comments?"});
    EXPECT_EQ(Unpublished(), 1);
    EXPECT_FALSE(reviewer->worker().Suspended());
    EXPECT_EQ(takeIns, 0);

    // Yes takes them in (the indicator goes back to 0), then publishes.
    pending.MarkCreate("C1");
    index["C1"].contents = "  check the nozzle  ";
    EXPECT_EQ(Make({PromptAnswer::Yes}).PublishComments(true), PublishOutcome::kPublished);
    EXPECT_EQ(takeIns, 1);
    EXPECT_EQ(watcher->newCommentCount, 0);
    EXPECT_EQ(Unpublished(), 0);
    EXPECT_GE(reviewer->worker().Session().LatestRevision(), 3);
    EXPECT_TRUE(pending.creates.empty());
    EXPECT_FALSE(reviewer->worker().Suspended());
}

TEST_F(Workflow, FailedOrGarbledPublishSendsNoDetail) {
    TakeInOthers();
    pending.MarkCreate("C1");
    pending.SetDelete("D1", 1);
    for (const char* fault :
         {"drop:/Comm/publish.do", "garbage:/Comm/publish.do", "status:/Comm/publish.do:500"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(server.AddFault(fault));
        EXPECT_EQ(Make({}).PublishComments(true), PublishOutcome::kFailed);
        EXPECT_EQ(Texts(), std::vector<std::string>{"Publish network error."});
        EXPECT_EQ(pending.creates.count("C1"), 1u);
        EXPECT_EQ(pending.deletes["D1"], 1);
        EXPECT_EQ(RequestLog().find("CMNT_DTL"), std::string::npos);
        EXPECT_EQ(reviewer->worker().Session().LatestRevision(), 2);
    }
    // A dropped revision check stops before the publish.
    ASSERT_TRUE(server.AddFault("drop:/Comm/revision.do"));
    EXPECT_EQ(Make({}).PublishComments(true), PublishOutcome::kFailed);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Revision check network error."});
}

TEST_F(Workflow, AFailedCommentDetailStaysForTheNextPublishAndTheLogIsInTheKoreanCodePage) {
    TakeInOthers();
    pending.MarkCreate("C1");
    pending.MarkCreate("C2");
    pending.SetDelete("D1", 1);
    pending.SetDelete("D2", 0);
    ASSERT_TRUE(server.AddFault("drop:/Comm/cmntDtl.do@1"));
    EXPECT_EQ(Make({}).PublishComments(true), PublishOutcome::kFailed);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Engineer publish network error."});
    // C1 was dropped, C2 went through; the deletion went through too.
    EXPECT_EQ(pending.creates, (std::set<std::string>{"C1"}));
    EXPECT_EQ(pending.deletes["D1"], 0);
    // No entry made by the lookup of a comment the index does not hold.
    EXPECT_TRUE(index.empty());

    const std::string log = RequestLog();
    EXPECT_NE(log.find("(\xA1\xE5)BEGIN CMNT CREATE, "), std::string::npos);
    EXPECT_NE(log.find("(!)CMNT_DTL_CREATE(C2), N/A"), std::string::npos);
    EXPECT_NE(log.find("(\xA1\xE3)END CMNT CREATE, "), std::string::npos);
    EXPECT_NE(log.find("(!)CMNT_DTL_DELETE:, D1"), std::string::npos);
    EXPECT_EQ(log.find("D2"), std::string::npos);

    EXPECT_EQ(Make({}).PublishComments(true), PublishOutcome::kPublished);
    EXPECT_TRUE(pending.creates.empty());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(Workflow, TheWindowRunsBetweenDetailRequestsAndWhatItChangesIsHonoured) {
    TakeInOthers();
    for (const char* id : {"C1", "C2", "C3"}) pending.MarkCreate(id);
    pending.SetDelete("D1", 1);
    pending.SetDelete("D2", 1);
    // While the window handles its events after the first request, the reviewer's deletion of
    // C3 arrives (its detail never goes out) and D2 is kept after all.
    int calls = 0;
    auto between = [&] {
        if (++calls == 1) {
            pending.creates.erase("C3");
            pending.SetDelete("D2", 0);
            pending.MarkCreate("C9");  // a new one waits for the next publish
        }
    };
    EXPECT_EQ(Make({}, true, between).PublishComments(false), PublishOutcome::kPublished);
    EXPECT_EQ(calls, 3);  // C1, C2, D1
    EXPECT_EQ(pending.creates, (std::set<std::string>{"C9"}));
    EXPECT_EQ(pending.deletes["D1"], 0);
    EXPECT_EQ(pending.deletes["D2"], 0);
    const std::string log = RequestLog();
    EXPECT_NE(log.find("CMNT_DTL_CREATE(C2)"), std::string::npos);
    EXPECT_EQ(log.find("CMNT_DTL_CREATE(C3)"), std::string::npos);
    EXPECT_EQ(log.find("D2"), std::string::npos);
}

TEST_F(Workflow, PublishButtonNeverClaimsSuccessWhileChangesAreStillOnTheirWay) {
    TakeInOthers();
    ASSERT_TRUE(server.AddFault("delay:/Comm/autoSave.do:4000@*"));
    reviewer->Draw(AnnotTool::Cloudy, 0);
    EXPECT_EQ(Make({}, /*drains=*/false).PublishButton(), PublishOutcome::kPublished);
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kStillSendingMessage});

    ASSERT_TRUE(server.ClearFaults());
    ASSERT_TRUE(reviewer->Flush());
    EXPECT_EQ(Make({}).PublishButton(), PublishOutcome::kPublished);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Comments are published."});
    EXPECT_EQ(Unpublished(), 0);
}

TEST_F(Workflow, ClosingAsksOnlyAboutUnpublishedComments) {
    EXPECT_EQ(Make({}).CloseRequested(), CloseDecision::kClose);
    EXPECT_TRUE(Texts().empty());

    DrawAndSend();
    EXPECT_EQ(Make({PromptAnswer::Cancel}).CloseRequested(), CloseDecision::kStay);
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kUnpublishedQuestion});
    EXPECT_EQ(Unpublished(), 1);

    // Yes with a publish that fails stays open: the next start's "CLEAR" would lose them.
    ASSERT_TRUE(server.AddFault("status:/Comm/publish.do:500"));
    EXPECT_EQ(Make({PromptAnswer::Yes}).CloseRequested(), CloseDecision::kStay);
    EXPECT_EQ(Texts().back(), "Publish network error.");
    EXPECT_EQ(Unpublished(), 1);

    // No clears the server's queue, unless the clear fails.
    ASSERT_TRUE(server.AddFault("drop:/Comm/deletequeue.do"));
    EXPECT_EQ(Make({PromptAnswer::No}).CloseRequested(), CloseDecision::kStay);
    EXPECT_EQ(Texts().back(), "Clear queue network error.");
    EXPECT_EQ(Make({PromptAnswer::No}).CloseRequested(), CloseDecision::kClose);
    EXPECT_EQ(Unpublished(), 0);
}

TEST_F(Workflow, ClosingWithYesPublishesWithoutAskingAboutOthersComments) {
    DrawAndSend();
    EXPECT_EQ(Make({PromptAnswer::Yes}).CloseRequested(), CloseDecision::kClose);
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kUnpublishedQuestion});
    EXPECT_EQ(Unpublished(), 0);
}

TEST_F(Workflow, AnUncountableQueueIsANetworkErrorNeverZero) {
    DrawAndSend();
    ASSERT_TRUE(server.AddFault("drop:/Comm/checkautosaved.do@2"));
    EXPECT_EQ(Make({PromptAnswer::No}).CloseRequested(), CloseDecision::kStay);
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kCountFailedOnClose});

    bool dialogOpened = false;
    auto dialog = [&](bool) { return dialogOpened = true; };
    EXPECT_FALSE(Make({}).FinishReview(false, dialog));
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kCountFailedOnFinish});
    EXPECT_FALSE(dialogOpened);
}

TEST_F(Workflow, ChangesStillQueuedLocallyCountAsUnpublishedOnClose) {
    ASSERT_TRUE(server.AddFault("delay:/Comm/autoSave.do:4000@*"));
    reviewer->Draw(AnnotTool::Cloudy, 0);
    // The server has nothing yet; the drain gave up with the change still here.
    EXPECT_EQ(Make({PromptAnswer::Cancel}, /*drains=*/false).CloseRequested(),
              CloseDecision::kStay);
    EXPECT_EQ(Texts(), std::vector<std::string>{ReviewWorkflow::kUnpublishedQuestion});
}

TEST_F(Workflow, FinishPublishesFirstAndStopsWhenThePublishFailsOrTheDialogIsCancelled) {
    TakeInOthers();
    DrawAndSend();
    std::vector<bool> opened;
    bool answer = false;
    auto dialog = [&](bool isOpener) {
        opened.push_back(isOpener);
        return answer;
    };
    ASSERT_TRUE(server.AddFault("garbage:/Comm/publish.do"));
    EXPECT_FALSE(Make({PromptAnswer::Yes}).FinishReview(false, dialog));
    EXPECT_TRUE(opened.empty());

    EXPECT_FALSE(Make({PromptAnswer::Yes}).FinishReview(true, dialog));
    EXPECT_EQ(opened, std::vector<bool>{true});
    EXPECT_EQ(Unpublished(), 0);

    answer = true;
    EXPECT_TRUE(Make({}).FinishReview(false, dialog));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Finish."});
}

TEST_F(Workflow, ReviewDecisionsReachOnlyKnownCommentsAndTheirCards) {
    // The seed's rectangle is applied; find its id from the server's decisions.
    auto reply = server.Get("/Comm/revcmnt.do?squrvwmno=1001&rvwfileseq=1");
    std::vector<review::ReviewDecision> decisions;
    ASSERT_TRUE(review::ReadReviewDecisions(reply.body, decisions));
    ASSERT_FALSE(decisions.empty());
    const std::string applied = decisions.front().cmntId;
    index[applied].feedbackStatus = kFeedbackUnderReview;

    EXPECT_TRUE(Make({}).ApplyReviewDecisions());
    EXPECT_EQ(index.size(), 1u);
    EXPECT_EQ(index[applied].feedbackStatus, kFeedbackApply);
    EXPECT_EQ(cards.str(), applied + "=Apply;");

    ASSERT_TRUE(server.AddFault("garbage:/Comm/revcmnt.do"));
    EXPECT_FALSE(Make({}).ApplyReviewDecisions());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Review network error."});
}

}  // namespace
