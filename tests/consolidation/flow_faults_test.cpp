// The consolidation flow where a retry, a stale index, a second OK or a failed save used to
// cost comments or report a wrong document.
#include <gtest/gtest.h>

#include <filesystem>

#include "consolidation/flow_fixture.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;
using platform::PromptAnswer;

namespace {

class FlowFaults : public consolidationtest::FlowFixture {
public:
    // Names of the comments a saved or uploaded PDF holds, page by page.
    std::vector<std::string> CommentsInPdf(const std::string& bytes) {
        const std::string path = (dir / "uploaded.pdf").string();
        testsupport::WriteFileBytes(path, bytes);
        engine::EngineControl reader;
        EXPECT_TRUE(reader.OpenFile(path, nullptr));
        std::vector<std::string> names;
        for (int page = 0; page < reader.PageCount(); ++page) {
            control::PdfPage p = reader.GetPage(page);
            for (int i = 0; i < p.AnnotCount(); ++i) names.push_back(p.GetAnnot(i).GetName());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FlowFaults, ARetryAfterAFailedUploadKeepsEveryAppliedComment) {
    // Unapplied comments between applied ones: each removal moves those behind it.
    auto names = AddComments({{"Lee Jihoon-Electrical", kFeedbackApply},
                              {"Lee Jihoon-Electrical", kFeedbackDoNotApply},
                              {"Park Seojun-Structural", kFeedbackApply},
                              {"Park Seojun-Structural", kFeedbackDoNotApply},
                              {"Park Seojun-Structural", kFeedbackApply}});
    const std::vector<std::string> applied = Sorted({names[0], names[2], names[4]});
    store.replies = {{-1, ""}};  // the store cannot be reached
    ConsolidationFlow& f = Make();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kUpload);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Upload connection fail."});
    EXPECT_EQ(Sorted(NamesOnPage(0)), applied);

    // The second OK: what was removed stays removed, nothing else goes.
    StoreAnswers();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished);
    EXPECT_EQ(Sorted(NamesOnPage(0)), applied);
    ASSERT_EQ(store.sent.size(), 3u);
    EXPECT_EQ(CommentsInPdf(store.sent[1].body), applied);
    // The records and the list still name the comments the control holds at their indexes.
    for (const std::string& name : applied) {
        const int at = index[name].annotIndex;
        EXPECT_EQ(control->GetPage(0).GetAnnot(at).GetName(), name);
        EXPECT_EQ(maps->Find(0, name)->annotIndex, at);
    }
    for (const std::string& name : {names[1], names[3]}) {
        EXPECT_EQ(index[name].annotIndex, -1);
        EXPECT_EQ(maps->Find(0, name)->annotIndex, -1);
    }
}

TEST_F(FlowFaults, GatherReauthorsTheCommentOfTheNameAndSkipsOneThatIsGone) {
    params.gatherMode = true;
    auto names = AddComments({{"Lee Jihoon-Electrical", kFeedbackApply},
                              {"Lee Jihoon-Electrical", kFeedbackDoNotApply},
                              {"Park Seojun-Structural", kFeedbackApply}});
    // The list's indexes went stale: the first applied comment's point at the unapplied one.
    index[names[0]].annotIndex = 1;
    index[names[0]].record->annotIndex = 1;
    // And the last applied one is no longer in the document at all.
    control->GetPage(0).RemoveAnnot(control->GetPage(0).GetAnnot(2));
    ConsolidationFlow& f = Make();
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kFinished);
    ASSERT_EQ(modified.size(), 1u);
    EXPECT_EQ(modified[0], std::make_pair(0, 0));
    ASSERT_EQ(NamesOnPage(0), std::vector<std::string>{names[0]});
    EXPECT_EQ(control->GetPage(0).GetAnnot(0).Author(), "Choi Yuna-Process");
}

TEST_F(FlowFaults, GatherStopsWhenThePublishFailsAndASecondOkCompletesIt) {
    params.gatherMode = true;
    AddComments({{"Lee Jihoon-Electrical", kFeedbackApply}});
    publishResult = false;
    ConsolidationFlow& f = Make();
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kPublish);
    // Nothing closed the review and nothing was uploaded.
    for (const std::string& request : requests.sent) {
        EXPECT_NE(request, "FINISHINTERNALREVIEW");
        EXPECT_NE(request, "SQUADCLOSEALL");
    }
    EXPECT_TRUE(store.sent.empty());
    EXPECT_FALSE(session.PublishToParent());
    publishResult = true;
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kFinished);
    EXPECT_EQ(publishes, 2);
    EXPECT_EQ(requests.sent.back(), "SQUADCLOSEALL");
}

TEST_F(FlowFaults, ASecondOkWhileTheFlowRunsDoesNothing) {
    params.gatherMode = true;
    AddComments({{"Lee Jihoon-Electrical", kFeedbackApply}});
    ConsolidationFlow& f = Make();
    std::vector<ConsolidationStop> inner;
    onPump = [&] {
        // The window lets messages through here; OK and close must be off.
        EXPECT_FALSE(controlsEnabled);
        inner.push_back(f.FinishConsolidation(true));
    };
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kFinished);
    ASSERT_FALSE(inner.empty());
    for (ConsolidationStop stop : inner) EXPECT_EQ(stop, ConsolidationStop::kAlreadyRunning);
    EXPECT_EQ(std::count(requests.sent.begin(), requests.sent.end(), "mergeCommentDtl"), 1);
    EXPECT_EQ(store.sent.size(), 3u);
    EXPECT_EQ(dialogOk, 1);
    EXPECT_TRUE(controlsEnabled);
}

TEST_F(FlowFaults, AFailedSaveNeverUploadsAnEarlierAttemptsFile) {
    AddComments({{"Lee Jihoon-Electrical", kFeedbackApply}});
    // An earlier attempt's file is in the way, and this save fails (the document is closed).
    const std::string path = working + "/10011_Plant_20261231_B_SC_1.pdf";
    testsupport::WriteFileBytes(path, "%PDF-1.4 stale");
    control->CloseFile();
    ConsolidationFlow& f = Make();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kSave);
    EXPECT_EQ(Texts(), std::vector<std::string>{ConsolidationFlow::kSaveFailedMessage});
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(store.sent.empty());
    EXPECT_TRUE(requests.sent.empty());
}

TEST_F(FlowFaults, ANameLongerThanTheFileSystemTakesStopsBeforeTheUpload) {
    AddComments({{"Lee Jihoon-Electrical", kFeedbackApply}});
    params.SQUADDOCNM.clear();
    for (int i = 0; i < 100; ++i) params.SQUADDOCNM += "\xB1\xE8";  // 300 bytes in UTF-8
    ConsolidationFlow& f = Make();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kSave);
    EXPECT_TRUE(store.sent.empty());
}

TEST_F(FlowFaults, AnEngineerNoParticipantMatchesIsNotFinished) {
    AddComments({{"Lee Jihoon-Electrical", kFeedbackApply}, {"Kim Nobody-Ghost", kFeedbackApply}});
    ConsolidationFlow& f = Make();
    ASSERT_TRUE(f.LoadParticipants());
    f.FillEngineerList();
    // Both waiting, but the second one is in no participant list.
    engineers["Lee Jihoon-Electrical"].consolidationFinished = false;
    engineers["Kim Nobody-Ghost"].consolidationFinished = false;
    engineers["Lee Jihoon-Electrical"].summary = "fine";
    requests.sent.clear();
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished);
    std::vector<std::string> finishes;
    for (const std::string& r : requests.sent)
        if (r.rfind("finishall:", 0) == 0) finishes.push_back(r);
    EXPECT_EQ(finishes, std::vector<std::string>{"finishall:3:fine"});
}

}  // namespace
