#include "consolidation/flow_fixture.h"

#include "app/logs.h"
#include "platform/code_page.h"
#include "sync/nm_object.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;

namespace consolidationtest {

RecordingRequests::RecordingRequests() {
    defaults["PARTICIPANTS"] = {true, ""};
    defaults["LASTMODIFIEDDATE"] = {true, "{\"lastmodifieddate\":[]}"};
    defaults["FINISHINTERNALREVIEW"] = {true, "0"};
    defaults["SQUADCLOSEALL"] = {true, "0"};
    defaults["mergeCommentDtl"] = {true, "0"};
    defaults["merge"] = {true, "0"};
    defaults["convert"] = {true, "true"};
    defaults["finishall"] = {true, "0"};
}

review::CommandReply RecordingRequests::Next(const std::string& kind) {
    auto& queue = queued[kind];
    if (!queue.empty()) {
        review::CommandReply reply = queue.front();
        queue.pop_front();
        return reply;
    }
    return defaults[kind];
}

review::CommandReply RecordingRequests::Command(const std::string& command) {
    sent.push_back(command);
    return Next(command);
}

std::string RecordingRequests::MergeCommentDetail() {
    sent.push_back("mergeCommentDtl");
    return Next("mergeCommentDtl").body;
}

std::string RecordingRequests::Merge(const std::string& cmntId, const std::string& text) {
    sent.push_back("merge:" + cmntId + ":" + text);
    return Next("merge").body;
}

std::string RecordingRequests::ConvertResult(const std::string& fileName,
                                             const std::string& ecmNo) {
    sent.push_back("convert:" + fileName + ":" + ecmNo);
    return Next("convert").body;
}

std::string RecordingRequests::FinishAll(int participantSeq, const std::string& text) {
    sent.push_back("finishall:" + std::to_string(participantSeq) + ":" + text);
    return Next("finishall").body;
}

void FlowFixture::Reset() {
    flow.reset();
    index.clear();
    engineers.clear();
    params = LaunchParams{};
    session.SetPublishToParent(false);
    requests = RecordingRequests();
    store = ecmtest::Script{};
    prompts.reset();
    watcher = std::make_shared<WatcherState>();
    busyOn = busyOff = pumps = dialogOk = drains = publishes = 0;
    controlsEnabled = true;
    drainResult = publishResult = true;
    publishToParentDuringPublish = false;
    modified.clear();
    onPump = nullptr;
    maps.reset();
    control.reset();
}

void FlowFixture::SetUp() {
    Reset();
    platform::SetSystemCodePageForTesting("CP949");
    ConfigureLogs((dir / "diagnostic.log").string(), (dir / "request.log").string());
    working = (dir / "work").string();
    std::filesystem::create_directories(working);
    engine::SamplePdfOptions options;
    options.pageCount = 2;
    const std::string drawing = (dir / "drawing.pdf").string();
    std::string error;
    ASSERT_TRUE(engine::WriteSamplePdf(options, drawing, &error)) << error;
    control = std::make_unique<engine::EngineControl>();
    ASSERT_TRUE(control->OpenFile(drawing, nullptr));
    maps = std::make_unique<sync::PageAnnotMap>(control->PageCount());

    params.USERID = "opener1";
    params.OPENERID = "opener1";
    params.SITECD = "S01";
    params.ECM_HOST = "127.0.0.1";
    params.ECM_PORT = 2104;
    params.ECM_SERVER_ID = "ECM01";
    params.SQUADDOCNO = "10011";
    params.SQUADDOCNM = "Plant";
    params.NEXTPLANYMDCD = "20261231";
    params.NEXTREVISNNO = "B";
    params.SQUADSQNUM = 1;
    params.isOpener = true;
    params.authorName = "Choi Yuna-Process";
    params.COMMENTCOLOR = 0x00FF00;
    requests.defaults["PARTICIPANTS"] = {
        true,
        "{\"cmnt\":[{\"PATCP_SEQ\":1,\"FST_REG_USER_ID\":\"opener1\",\"SITE_USE_NM\":\"Process\","
        "\"USER_KNM\":\"Choi Yuna\"},{\"PATCP_SEQ\":3,\"FST_REG_USER_ID\":\"elec1\","
        "\"SITE_USE_NM\":\"Electrical\",\"USER_KNM\":\"Lee Jihoon\"},{\"PATCP_SEQ\":4,"
        "\"FST_REG_USER_ID\":\"struct1\",\"SITE_USE_NM\":\"Structural\",\"USER_KNM\":\"Park "
        "Seojun\"}]}"};
    StoreAnswers();
}

void FlowFixture::TearDown() {
    flow.reset();
    ConfigureLogs("", "");
    platform::SetSystemCodePageForTesting("");
}

void FlowFixture::StoreAnswers(const std::string& identifier) {
    store.replies = {{1, "0123456789abcdef0123456789abcdef"}, {1, identifier}, {1, "0"}};
    store.sent.clear();
}

std::vector<std::string> FlowFixture::AddComments(const std::vector<Comment>& comments) {
    std::vector<std::string> names;
    int order = 0;
    for (const Comment& comment : comments) {
        const auto geometry = control->PageGeometryOf(comment.page);
        auto drafts = engine::SampleAnnotDrafts(comment.page, geometry);
        engine::AnnotDraft draft = drafts.at(static_cast<size_t>(control::AnnotTool::Rectangle));
        ++order;
        control->SetDefaultAuthor(comment.author);
        const control::AnnotId id = control->CreateAnnot(draft);
        EXPECT_NE(id, 0u);
        const int annotIndex = control->AnnotIndexOf(id);
        control::PdfAnnot annot = control->GetPage(comment.page).GetAnnot(annotIndex);
        annot.SetContents(comment.contents);
        auto record = std::make_unique<sync::CAnnot>();
        record->uniqueName = annot.GetName();
        record->page = comment.page;
        record->annotIndex = annotIndex;
        sync::CNMObject* entered = maps->Insert(std::move(record));
        CommentEntry& entry = index[annot.GetName()];
        entry.annotIndex = annotIndex;
        entry.pageIndex = comment.page;
        entry.author = comment.author;
        entry.date = "2026-12-0" + std::to_string(1 + order % 9) + " 10:00:00";
        entry.contents = comment.contents;
        entry.record = entered;
        entry.feedbackStatus = comment.status;
        names.push_back(annot.GetName());
    }
    return names;
}

ConsolidationFlow& FlowFixture::Make(std::vector<platform::PromptAnswer> answers) {
    prompts = std::make_unique<platform::ScriptedPrompter>(std::move(answers));
    ConsolidationFlow::Parts parts;
    parts.params = &params;
    parts.workingFolder = working;
    parts.session = &session;
    parts.index = &index;
    parts.engineers = &engineers;
    parts.requests = &requests;
    parts.prompter = prompts.get();
    parts.control = control.get();
    parts.pageMaps = [this] { return maps.get(); };
    parts.annotModified = [this](int page, int annotIndex) {
        modified.emplace_back(page, annotIndex);
    };
    parts.waitForDrain = [this] {
        ++drains;
        return drainResult;
    };
    parts.publishComments = [this] {
        ++publishes;
        publishToParentDuringPublish = session.PublishToParent();
        return publishResult;
    };
    parts.showBusy = [this](bool on, const std::string& text) {
        if (on) {
            EXPECT_EQ(text, "Waiting...");
            ++busyOn;
        } else {
            ++busyOff;
        }
    };
    parts.pumpEvents = [this] {
        ++pumps;
        if (onPump) onPump();
    };
    parts.setControlsEnabled = [this](bool enabled) { controlsEnabled = enabled; };
    parts.finishDialogOk = [this] { ++dialogOk; };
    parts.watcher = watcher;
    parts.mainWindow = 0x42;
    parts.ecmFactory = ecmtest::ScriptedFactory(store);
    flow = std::make_unique<ConsolidationFlow>(std::move(parts));
    return *flow;
}

std::vector<std::string> FlowFixture::Texts() const {
    std::vector<std::string> texts;
    for (const auto& e : prompts->entries()) texts.push_back(e.text);
    return texts;
}

std::vector<platform::PromptKind> FlowFixture::Kinds() const {
    std::vector<platform::PromptKind> kinds;
    for (const auto& e : prompts->entries()) kinds.push_back(e.kind);
    return kinds;
}

std::vector<std::string> FlowFixture::NamesOnPage(int page) {
    std::vector<std::string> names;
    control::PdfPage p = control->GetPage(page);
    for (int i = 0; i < p.AnnotCount(); ++i) names.push_back(p.GetAnnot(i).GetName());
    return names;
}

}  // namespace consolidationtest
