// The consolidation against the bundled review server and content store, with the real
// engine holding the demo review's comments: decided, finished, uploaded and reported.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <filesystem>

#include "app/logs.h"
#include "app/pending_details.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "review/review_client.h"
#include "review/review_replies.h"
#include "session/comment_entries.h"
#include "session/consolidation_flow.h"
#include "session/review_workflow.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "sync/annot_by_name.h"
#include "sync/wire/queue_model.h"
#include "sync_autosave/review_client.h"
#include "viewer/engine/engine_control.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;
using platform::PromptAnswer;

namespace {

// The review client's requests, with the conversion reports and finishes noted on the way.
class NotingRequests : public ReviewClientRequests {
public:
    using ReviewClientRequests::ReviewClientRequests;
    std::string ConvertResult(const std::string& fileName, const std::string& ecmNo) override {
        reported.emplace_back(fileName, ecmNo);
        return ReviewClientRequests::ConvertResult(fileName, ecmNo);
    }
    std::string FinishAll(int participantSeq, const std::string& text) override {
        finished.push_back(std::to_string(participantSeq) + ":" + text);
        return ReviewClientRequests::FinishAll(participantSeq, text);
    }
    std::vector<std::pair<std::string, std::string>> reported;
    std::vector<std::string> finished;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetSystemCodePageForTesting("CP949");
        testsupport::ReviewServerProcess::Options options;
        options.seedDemo = true;
        ASSERT_TRUE(server.Start(options)) << server.error();
        ConfigureLogs((dir / "diagnostic.log").string(), (dir / "request.log").string());
        working = (dir / "work").string();
        std::filesystem::create_directories(working);

        params.HOST = server.host();
        params.PORT = server.port();
        params.USERID = "opener1";
        params.OPENERID = "opener1";
        params.SQURVWMNO = 1001;
        params.RVWFILESEQ = 1;
        params.PATCPSEQ = 1;
        params.REPATCPSEQ = 1;
        params.TGTSQURVWMNO = 2001;
        params.ELEMENTID = "sample-drawing";
        params.SITECD = "S01";
        params.PROGCLSCD = "SC";
        params.KESTRON = server.host() + ":" + std::to_string(server.port());
        params.ECM_HOST = server.host();
        params.ECM_PORT = server.ecmPort();
        params.ECM_SERVER_ID = "ECM01";
        params.SQUADDOCNO = "10011/A";
        params.SQUADDOCNM = " Plant? ";
        params.NEXTPLANYMDCD = "20261231";
        params.NEXTREVISNNO = "B";
        params.SQUADSQNUM = 1;
        params.COMMENTCOLOR = 0x0000FF;
        params.authorName = "Choi Yuna-Process";
        params.docId = "10011";
        params.targetDocId = "20011";
        params.isOpener = true;

        // The initiator's client: the demo drawing with the published comments taken in.
        review::ReviewSession downloadSession;
        review::ReviewClient downloader(params, downloadSession);
        const std::string drawing = (dir / "sample-drawing.pdf").string();
        ASSERT_GT(downloader.DownloadDocument(drawing), 0);
        opener = std::make_unique<autosavetest::ReviewClient>(server, drawing, "opener1");
        opener->worker().GetLastestRevisions();
        client = std::make_unique<review::ReviewClient>(params, opener->worker().Session());
        requests = std::make_unique<NotingRequests>(*client);
        const sync::PageAnnotMap& maps = opener->worker().PageMaps();
        for (int page = 0; page < maps.PageCount(); ++page) {
            for (const auto& [name, record] : maps.Page(page)) {
                if (record->inReplyTo.empty()) {
                    ASSERT_TRUE(EnterComment(index, opener->control(), *record));
                }
            }
        }
        ASSERT_GE(index.size(), 4u);
    }
    void TearDown() override {
        flow.reset();
        workflow.reset();
        opener.reset();
        ConfigureLogs("", "");
        platform::SetSystemCodePageForTesting("");
    }

    // The initiator's decisions: every other comment applied, in name order; the server's
    // answer to "REVIEW" puts them into the list.
    void Decide() {
        bool apply = true;
        for (const auto& [name, entry] : index) {
            ASSERT_EQ(
                client->SendReview(name, apply, apply ? "do it" : "not needed", entry.contents),
                "0");
            if (apply) applied.push_back(name);
            apply = !apply;
        }
        ASSERT_TRUE(Workflow().ApplyReviewDecisions());
        for (const auto& [name, entry] : index)
            EXPECT_EQ(entry.feedbackStatus, std::count(applied.begin(), applied.end(), name)
                                                ? kFeedbackApply
                                                : kFeedbackDoNotApply);
    }

    ReviewWorkflow& Workflow() {
        ReviewWorkflow::Parts parts;
        parts.client = client.get();
        parts.session = &opener->worker().Session();
        parts.index = &index;
        parts.pending = &pending;
        parts.prompter = &prompts;
        parts.worker = [this] { return &opener->worker(); };
        parts.waitForDrain = [this] { return opener->Flush(); };
        workflow = std::make_unique<ReviewWorkflow>(std::move(parts));
        return *workflow;
    }

    // The consolidation page opened: participants, the list, a summary per waiting engineer.
    ConsolidationFlow& Open() {
        ConsolidationFlow::Parts parts;
        parts.params = &params;
        parts.workingFolder = working;
        parts.session = &opener->worker().Session();
        parts.index = &index;
        parts.engineers = &engineers;
        parts.requests = requests.get();
        parts.prompter = &prompts;
        parts.control = &opener->control();
        parts.pageMaps = [this] { return &opener->worker().PageMaps(); };
        parts.annotModified = [this](int page, int annotIndex) {
            opener->worker().AutoSaveAnnot(page, annotIndex, sync::kActionUpdate);
        };
        parts.waitForDrain = [this] { return opener->Flush(); };
        parts.publishComments = [this] {
            return Workflow().PublishComments(false) == PublishOutcome::kPublished;
        };
        parts.finishDialogOk = [this] { ++dialogOk; };
        parts.watcher = watcher;
        parts.ecmTimeouts.connectSeconds = 3;
        parts.ecmTimeouts.stallSeconds = 1;
        flow = std::make_unique<ConsolidationFlow>(std::move(parts));
        EXPECT_TRUE(flow->LoadParticipants());
        for (const AuthorLine& line : flow->FillEngineerList())
            if (!line.consolidationFinished)
                StoreSummary(engineers, {line.author}, "summary for " + line.author);
        return *flow;
    }

    std::string Stored(const std::string& id) {
        auto reply = testsupport::LoopbackGet(server.ecmPort(), "/ecm/content?id=" + id);
        return reply.status == 200 ? reply.body : std::string();
    }
    // The comments of a PDF as the engine opens it, sorted by name.
    std::vector<std::string> CommentsOf(const std::string& bytes) {
        const std::string path = (dir / "check.pdf").string();
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
    // Annotations of a PDF, other than popups, that carry no normal appearance.
    static int WithoutAppearance(const std::string& bytes) {
        QPDF pdf;
        pdf.processMemoryFile("stored", bytes.data(), bytes.size());
        int missing = 0;
        for (QPDFObjectHandle page : pdf.getAllPages()) {
            QPDFObjectHandle annots = page.getKey("/Annots");
            if (!annots.isArray()) continue;
            for (QPDFObjectHandle annot : annots.aitems()) {
                if (annot.getKey("/Subtype").isName() &&
                    annot.getKey("/Subtype").getName() == "/Popup")
                    continue;
                QPDFObjectHandle ap = annot.getKey("/AP");
                if (!ap.isDictionary() || ap.getKey("/N").isNull()) ++missing;
            }
        }
        return missing;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& e : prompts.entries()) texts.push_back(e.text);
        return texts;
    }
    std::string ResultPath() const { return working + "/10011_A_Plant_20261231_B_SC_1.pdf"; }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string working;
    LaunchParams params;
    std::unique_ptr<autosavetest::ReviewClient> opener;
    std::unique_ptr<review::ReviewClient> client;
    std::unique_ptr<NotingRequests> requests;
    CommentIndex index;
    PendingDetails pending;
    EngineerIndex engineers;
    platform::ScriptedPrompter prompts;
    std::shared_ptr<WatcherState> watcher = std::make_shared<WatcherState>();
    std::unique_ptr<ReviewWorkflow> workflow;
    std::unique_ptr<ConsolidationFlow> flow;
    std::vector<std::string> applied;
    int dialogOk = 0;
};

TEST_F(EndToEnd, OneStoredPdfHoldsExactlyTheAppliedCommentsAndTheEngineersAreFinished) {
    Decide();
    ConsolidationFlow& f = Open();
    const size_t waiting = std::count_if(engineers.begin(), engineers.end(), [](const auto& e) {
        return !e.second.consolidationFinished;
    });
    ASSERT_GT(waiting, 0u);
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished)
        << ::testing::PrintToString(Texts());
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(dialogOk, 1);
    ASSERT_EQ(requests->reported.size(), 1u);
    EXPECT_EQ(requests->reported[0].first, "10011_A_Plant_20261231_B_SC_1.pdf");
    std::sort(applied.begin(), applied.end());
    ASSERT_GE(applied.size(), 2u);
    ASSERT_LT(applied.size(), index.size());
    EXPECT_EQ(CommentsOf(Stored(requests->reported[0].second)), applied);
    EXPECT_EQ(WithoutAppearance(Stored(requests->reported[0].second)), 0);
    EXPECT_FALSE(std::filesystem::exists(ResultPath()));
    // Every waiting engineer was finished with his summary, and now counts as finished.
    EXPECT_EQ(requests->finished.size(), waiting);
    for (const std::string& finish : requests->finished)
        EXPECT_NE(finish.find(":summary for "), std::string::npos) << finish;
    ConsolidationFlow::Parts parts;
    parts.requests = requests.get();
    parts.prompter = &prompts;
    ConsolidationFlow reread(parts);
    ASSERT_TRUE(reread.LoadParticipants());
    for (const auto& [userId, participant] : reread.Participants())
        EXPECT_FALSE(participant.hasNewerComments) << userId;
}

TEST_F(EndToEnd, TheStoreHoldsTheBytesSavedAndARetryAfterAFailedConnectKeepsEveryComment) {
    Decide();
    ConsolidationFlow& f = Open();
    ASSERT_TRUE(server.AddFault("status:/ecm/connect:500"));
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kUpload);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Upload connection fail."});
    EXPECT_TRUE(requests->finished.empty());

    // Stopped at the report: the working file is what the store holds.
    ASSERT_TRUE(server.AddFault("status:/qendra/co/common/sign/savePdfConvertResult.xpl:500"));
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kConvertResult);
    ASSERT_EQ(requests->reported.size(), 1u);
    const std::string id = requests->reported[0].second;
    EXPECT_EQ(Texts().back(), ConvertResultMessage(id, "10011_A_Plant_20261231_B_SC_1.pdf"));
    EXPECT_EQ(testsupport::ReadFileBytes(ResultPath()), Stored(id));

    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished);
    ASSERT_EQ(requests->reported.size(), 2u);
    std::sort(applied.begin(), applied.end());
    EXPECT_EQ(CommentsOf(Stored(requests->reported[1].second)), applied);
}

TEST_F(EndToEnd, EachUploadFaultHasItsMessageAndTheNextOkGoesOn) {
    Decide();
    ConsolidationFlow& f = Open();
    const std::pair<const char*, const char*> faults[] = {
        {"drop:/ecm/connect", "Upload connection fail."},
        {"status:/ecm/content:500", "Upload submit fail."},
        {"garbage:/ecm/content", "Upload submit fail."},
        {"delay:/ecm/content:12000", "Upload submit fail."},
        {"status:/ecm/disconnect:500", "Upload close fail."},
    };
    for (const auto& [fault, message] : faults) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(server.AddFault(fault));
        EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kUpload);
        EXPECT_EQ(Texts().back(), message);
        EXPECT_TRUE(requests->reported.empty());
        ASSERT_TRUE(server.ClearFaults());
    }
    EXPECT_EQ(f.FinishConsolidation(false), ConsolidationStop::kFinished);
}

TEST_F(EndToEnd, GatherPublishesIntoTheTargetClosesTheReviewAndAFailedPublishStopsFirst) {
    params.gatherMode = true;
    Decide();
    ConsolidationFlow& f = Open();
    ASSERT_TRUE(server.AddFault("status:/Comm/publish.do:500"));
    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kPublish);
    EXPECT_EQ(Texts().back(), "Publish network error.");
    EXPECT_FALSE(opener->worker().Session().PublishToParent());
    // The internal review is still open.
    EXPECT_NE(server.Get("/Comm/revision.do?docId=10011&rev=0&squrvwmno=1001&rvwfileseq=1")
                  .body.find("revno"),
              std::string::npos);

    EXPECT_EQ(f.FinishConsolidation(true), ConsolidationStop::kFinished)
        << ::testing::PrintToString(Texts());
    // The applied comments are published in the target review, and the review is closed.
    auto target = server.Get("/Comm/revision.do?docId=20011&rev=0&squrvwmno=2001&rvwfileseq=1");
    int32_t revno = 0;
    ASSERT_TRUE(review::ReadRevisionReply(target.body, revno)) << target.body;
    EXPECT_GE(revno, static_cast<int32_t>(applied.size()));
    EXPECT_EQ(server.Get("/Comm/revision.do?docId=10011&rev=0&squrvwmno=1001&rvwfileseq=1")
                  .body.find("revno"),
              std::string::npos);
    EXPECT_TRUE(watcher->closedByClient);
    for (const std::string& name : applied) {
        control::PdfAnnot annot = sync::AnnotOfRecord(opener->control(), *index[name].record);
        EXPECT_EQ(annot.Author(), "Choi Yuna-Process");
        EXPECT_EQ(annot.Color(), 0x0000FF);
    }
}

}  // namespace
