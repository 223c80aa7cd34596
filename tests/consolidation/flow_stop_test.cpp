// The consolidation flow against a recording review server: where each failure stops it, what
// it says then, what it has sent by then, and that the window is handed back each time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "consolidation/flow_fixture.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;
using consolidationtest::Comment;
using platform::PromptAnswer;
using platform::PromptKind;

namespace {

class FlowStops : public consolidationtest::FlowFixture {
public:
    void SetUp() override {
        FlowFixture::SetUp();
        params.gatherMode = true;
        names = AddComments({{"Lee Jihoon-Electrical", kFeedbackApply, 0, "move the tray"},
                             {"Lee Jihoon-Electrical", kFeedbackDoNotApply, 0, "no"},
                             {"Park Seojun-Structural", kFeedbackApply, 1, ""},
                             {"Park Seojun-Structural", kFeedbackDoNotApply, 1, "no"}});
        requests.queued["LASTMODIFIEDDATE"] = {
            {true,
             "{\"lastmodifieddate\":[{\"SQURVW_CMNT_MNO\":\"1\",\"FST_REG_USER_ID\":\"elec1\","
             "\"FINISH_DT\":\"\",\"CMNT_DT\":\"20261201100000\"},{\"SQURVW_CMNT_MNO\":\"2\","
             "\"FST_REG_USER_ID\":\"struct1\",\"FINISH_DT\":\"20261201090000\",\"CMNT_DT\":"
             "\"20261201100000\"}]}"}};
    }

    // Opens the page as the dialog will: participants, the list, two summaries typed.
    ConsolidationFlow& Open(std::vector<PromptAnswer> answers = {}) {
        ConsolidationFlow& f = Make(std::move(answers));
        EXPECT_TRUE(f.LoadParticipants());
        auto list = f.FillEngineerList();
        EXPECT_EQ(list.size(), 2u);
        EXPECT_TRUE(StoreSummary(engineers, {"Lee Jihoon-Electrical"}, " tray moved "));
        EXPECT_TRUE(StoreSummary(engineers, {"Park Seojun-Structural"}, "ok"));
        requests.sent.clear();
        return f;
    }

    // Every request of a whole run, in order.
    std::vector<std::string> FullRun() const {
        std::vector<std::string> applied = {names[0], names[2]};
        std::sort(applied.begin(), applied.end());
        std::vector<std::string> sent = {"mergeCommentDtl"};
        for (const std::string& name : applied)
            sent.push_back("merge:" + name + ":" + (name == names[0] ? "move the tray" : "N/A"));
        sent.push_back("FINISHINTERNALREVIEW");
        sent.push_back("convert:10011_Plant_20261231_B_SC_1.pdf:QC20261207120000-00c0ffee");
        sent.push_back("PARTICIPANTS");
        sent.push_back("finishall:3:tray moved");
        sent.push_back("finishall:4:ok");
        sent.push_back("SQUADCLOSEALL");
        return sent;
    }

    std::vector<std::string> names;
};

struct StopCase {
    const char* what;
    std::function<void(FlowStops&)> arrange;
    ConsolidationStop stop;
    std::vector<std::string> messages;
    PromptKind kind;
    size_t sentCount;  // how much of the whole run was sent
};

TEST_F(FlowStops, EachStopSaysWhySendsNothingMoreAndHandsTheWindowBack) {
    const std::string korean =
        ConvertResultMessage("QC20261207120000-00c0ffee", "10011_Plant_20261231_B_SC_1.pdf");
    const StopCase cases[] = {
        {"a comment under review",
         [](FlowStops& t) { t.index[t.names[1]].feedbackStatus = kFeedbackUnderReview; },
         ConsolidationStop::kUnderReview,
         {"Comments are being reviewed."},
         PromptKind::Info,
         0},
        {"no applied comment, No",
         [](FlowStops& t) {
             for (auto& [name, entry] : t.index) entry.feedbackStatus = kFeedbackDoNotApply;
         },
         ConsolidationStop::kDeclined,
         {"New comment is not existing.\nDo you want to finish squad check consolidation?"},
         PromptKind::Question,
         0},
        {"merge detail refused",
         [](FlowStops& t) {
             t.requests.queued["mergeCommentDtl"] = {{true, "1"}};
         },
         ConsolidationStop::kMergeDetail,
         {"Internal review submit network error."},
         PromptKind::Error,
         1},
        {"one merge refused, the others still sent",
         [](FlowStops& t) {
             t.requests.queued["merge"] = {{true, ""}};
         },
         ConsolidationStop::kMerge,
         {"Internal review submit error."},
         PromptKind::Error,
         3},
        {"publish to the target failed",
         [](FlowStops& t) { t.publishResult = false; },
         ConsolidationStop::kPublish,
         {},
         PromptKind::Error,
         3},
        {"queue did not drain",
         [](FlowStops& t) { t.drainResult = false; },
         ConsolidationStop::kPublish,
         {ConsolidationFlow::kStillSendingMessage},
         PromptKind::Info,
         3},
        {"internal review finish refused",
         [](FlowStops& t) {
             t.requests.queued["FINISHINTERNALREVIEW"] = {{false, ""}};
         },
         ConsolidationStop::kFinishInternal,
         {"Internal review finish error."},
         PromptKind::Error,
         4},
        {"working folder gone",
         [](FlowStops& t) { std::filesystem::remove_all(t.working); },
         ConsolidationStop::kSave,
         {ConsolidationFlow::kSaveFailedMessage},
         PromptKind::Error,
         4},
        {"store connect refused",
         [](FlowStops& t) {
             t.store.replies = {{0, "ERROR: userId is required"}};
         },
         ConsolidationStop::kUpload,
         {"Upload connection fail."},
         PromptKind::Error,
         4},
        {"store upload refused",
         [](FlowStops& t) {
             t.store.replies[1] = {0, "ERROR: no such session"};
         },
         ConsolidationStop::kUpload,
         {"Upload submit fail."},
         PromptKind::Error,
         4},
        {"store close refused",
         [](FlowStops& t) {
             t.store.replies[2] = {-1, ""};
         },
         ConsolidationStop::kUpload,
         {"Upload close fail."},
         PromptKind::Error,
         4},
        {"conversion report refused",
         [](FlowStops& t) {
             t.requests.queued["convert"] = {{true, "false"}};
         },
         ConsolidationStop::kConvertResult,
         {korean},
         PromptKind::Error,
         5},
        {"participants without their object",
         [](FlowStops& t) {
             t.requests.queued["PARTICIPANTS"] = {{true, "<html>"}};
         },
         ConsolidationStop::kParticipants,
         {"Comment check error."},
         PromptKind::Error,
         6},
        {"a finish refused",
         [](FlowStops& t) {
             t.requests.queued["finishall"] = {{true, "-1"}};
         },
         ConsolidationStop::kFinishAll,
         {"Enginner review network error."},
         PromptKind::Error,
         7},
        {"close refused",
         [](FlowStops& t) {
             t.requests.queued["SQUADCLOSEALL"] = {{true, "9"}};
         },
         ConsolidationStop::kCloseSquad,
         {"Squadcheck close network error."},
         PromptKind::Error,
         9},
        {"everything answered",
         [](FlowStops&) {},
         ConsolidationStop::kFinished,
         {},
         PromptKind::Error,
         9},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        const std::vector<std::string> full = FullRun();
        ASSERT_EQ(full.size(), 9u);
        ConsolidationFlow& f = Open({PromptAnswer::No});
        c.arrange(*this);
        watcher->finishing = false;
        EXPECT_EQ(f.FinishConsolidation(true), c.stop);
        EXPECT_EQ(Texts(), c.messages);
        if (!c.messages.empty()) {
            EXPECT_EQ(Kinds().front(), c.kind);
        }
        EXPECT_EQ(requests.sent,
                  std::vector<std::string>(full.begin(), full.begin() + c.sentCount));
        EXPECT_EQ(busyOff, busyOn);
        EXPECT_EQ(busyOn, c.stop == ConsolidationStop::kUnderReview ? 0 : 1);
        EXPECT_FALSE(session.PublishToParent());
        EXPECT_TRUE(controlsEnabled);
        EXPECT_FALSE(f.Running());
        EXPECT_FALSE(watcher->finishing);
        EXPECT_EQ(watcher->closedByClient, c.stop == ConsolidationStop::kFinished);
        EXPECT_EQ(dialogOk, c.stop == ConsolidationStop::kFinished ? 1 : 0);
        // The result file is gone once reported.
        if (c.stop == ConsolidationStop::kFinished) {
            EXPECT_FALSE(std::filesystem::exists(working + "/10011_Plant_20261231_B_SC_1.pdf"));
        }
    }
}

TEST_F(FlowStops, PublishesTheAppliedCommentsAsTheInitiatorIntoTheTarget) {
    ConsolidationFlow& f = Open();
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kFinished);
    EXPECT_TRUE(publishToParentDuringPublish);
    EXPECT_FALSE(session.PublishToParent());
    EXPECT_EQ(drains, 1);
    EXPECT_EQ(publishes, 1);
    ASSERT_EQ(modified.size(), 2u);
    for (const std::string& name : {names[0], names[2]}) {
        const int page = index[name].pageIndex;
        // The applied comments carry the initiator's name and colour; the rest were removed.
        ASSERT_EQ(NamesOnPage(page), std::vector<std::string>{name});
        control::PdfAnnot annot = control->GetPage(page).GetAnnot(0);
        EXPECT_EQ(annot.Author(), "Choi Yuna-Process");
        EXPECT_EQ(annot.Color(), 0x00FF00);
    }
}

TEST_F(FlowStops, WithoutTheCheckBoxNothingGoesToTheTarget) {
    ConsolidationFlow& f = Open();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished);
    ASSERT_FALSE(requests.sent.empty());
    EXPECT_EQ(requests.sent.front().rfind("convert:", 0), 0u) << requests.sent.front();
    EXPECT_EQ(requests.sent.back(), "SQUADCLOSEALL");
    EXPECT_EQ(publishes, 0);
    EXPECT_TRUE(modified.empty());
}

}  // namespace
