#include "session/handler_fixture.h"

#include <chrono>
#include <thread>

#include "sync/wire/http_autosave_connection.h"
#include "viewer/engine/sample_annots.h"
#include "viewer/engine/sample_pdf.h"

namespace sessiontest {

namespace {

// The real connection, writing down each queue item it sends.
class RecordingConnection : public sync::AutosaveConnection {
public:
    RecordingConnection(const std::string& host, int port, std::shared_ptr<SentLog> log)
        : real_(host, port), log_(std::move(log)) {}
    std::unique_ptr<sync::ParamMap> Send(const sync::ParamMap& request) override {
        auto text = [&](const char* key) {
            const sync::ParamValue* v = request.Find(key);
            return v ? v->AsText() : std::string();
        };
        static const char* const kActions[] = {"create", "update", "delete", "move"};
        const std::string action = text("actionType");
        std::string line =
            (action.size() == 1 && action[0] >= '0' && action[0] <= '3' ? kActions[action[0] - '0']
                                                                        : action) +
            " " + text("NM");
        if (action == "3") line += " " + text("pageNo") + ">" + text("movePageNo");
        log_->Add(line);
        return real_.Send(request);
    }
    bool GetText(const std::string& url, std::string& reply) override {
        return real_.GetText(url, reply);
    }
    bool LastSendUnanswered() const override { return real_.LastSendUnanswered(); }
    void SetShowTransferErrors(bool show) override { real_.SetShowTransferErrors(show); }
    void Cancel() override { real_.Cancel(); }

private:
    sync::HttpAutosaveConnection real_;
    std::shared_ptr<SentLog> log_;
};

}  // namespace

void QueuedSink::PostCommentDeleted(const std::string& name) {
    posts.push_back("deleted " + name);
    queue_.push_back([this, name] { pending->SetDelete(name, 1); });
}

void QueuedSink::PostCommentMoved(int page, int index, const std::string& name) {
    posts.push_back("moved " + std::to_string(page) + "," + std::to_string(index) + " " + name);
    queue_.push_back([this, page, index, name] { handler->OnCommentMoved(page, index, name); });
}

void QueuedSink::Deliver() {
    while (!queue_.empty()) {
        auto next = std::move(queue_.front());
        queue_.pop_front();
        next();
    }
}

void SentLog::Add(std::string line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
}

std::vector<std::string> SentLog::Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void HandlerTest::SetUp() {
    ASSERT_TRUE(server.Start()) << server.error();
    auto prompter = std::make_unique<platform::ScriptedPrompter>();
    prompts_ = prompter.get();
    platform::InstallPrompter(std::move(prompter));
    registryRoot = (dir / "registry").string();
    engine::SamplePdfOptions options;
    options.pageCount = 2;
    const std::string drawing = (dir / "drawing.pdf").string();
    std::string error;
    ASSERT_TRUE(engine::WriteSamplePdf(options, drawing, &error)) << error;
    engine = std::make_unique<engine::EngineControl>();
    ASSERT_TRUE(engine->OpenFile(drawing, nullptr));
    // The control's own default author is not the reviewer's: the handler stamps it.
    engine->SetDefaultAuthor("someone");
}

void HandlerTest::Start(const std::string& workingFolder) {
    sync::AutosaveSettings settings;
    settings.host = server.host();
    settings.port = server.port();
    settings.docId = "10011";
    settings.targetDocId = "20011";
    settings.userId = "KIM";
    settings.workingFolder = workingFolder.empty() ? dir.str() : workingFolder;
    const std::string host = server.host();
    const int port = server.port();
    std::shared_ptr<SentLog> log = sent;
    worker = std::make_unique<sync::AutosaveWorker>(
        engine.get(), engine->PageCount(), settings,
        [host, port, log] { return std::make_unique<RecordingConnection>(host, port, log); });
    tools = std::make_unique<session::ToolSettings>(platform::RegistryStore(registryRoot));
    tools->LoadToolSettings();
    subjects = session::BuildSubjectToolTable();
    session::CommentAuthoring authoring{kAuthor, kColor, "10011", "KIM"};
    handler = std::make_unique<session::CommentEventHandler>(*engine, *worker, index, pending,
                                                             *tools, subjects, sink, authoring);
    sink.handler = handler.get();
    sink.pending = &pending;
    engine->SetEventListener(handler.get());
}

void HandlerTest::TearDown() {
    if (engine) engine->SetEventListener(nullptr);
    handler.reset();
    worker.reset();
    engine.reset();
    platform::InstallPrompter(nullptr);
}

engine::AnnotDraft HandlerTest::Draft(control::AnnotTool tool, int page) {
    auto drafts = engine::SampleAnnotDrafts(page, engine->PageGeometryOf(page));
    engine::AnnotDraft draft = drafts.at(static_cast<size_t>(tool));
    draft.author.clear();
    return draft;
}

int HandlerTest::Draw(control::AnnotTool tool, int page) {
    const control::AnnotId id = engine->UserCreateAnnot(Draft(tool, page));
    EXPECT_NE(id, 0u);
    return engine->AnnotIndexOf(id);
}

control::AnnotId HandlerTest::IdAt(int page, int index) {
    return engine->AnnotsOnPage(page).at(static_cast<size_t>(index));
}

control::PdfAnnot HandlerTest::AnnotAt(int page, int index) {
    return engine->GetPage(page).GetAnnot(index);
}

std::vector<std::string> HandlerTest::Sent() {
    worker->WakeUp();
    for (int i = 0; i < 750 && worker->Busy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(worker->Busy());
    return sent->Lines();
}

}  // namespace sessiontest
