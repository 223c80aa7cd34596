// The comment event handlers on a real engine and autosave worker against the bundled server,
// with a sink that keeps what they post until the test delivers it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/comment_index.h"
#include "app/pending_details.h"
#include "control/annot_tool.h"
#include "platform/prompter.h"
#include "session/comment_event_handler.h"
#include "session/comment_event_sink.h"
#include "session/subject_tool_table.h"
#include "session/tool_settings.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "sync/autosave_worker.h"
#include "viewer/engine/engine_control.h"

namespace sessiontest {

using namespace quill;

// Posts wait in one queue, as the dialog's would, until Deliver(); the deletion's side sets
// the pending flag as the main window does.
class QueuedSink : public session::CommentEventSink {
public:
    void PostCommentDeleted(const std::string& name) override;
    void PostCommentMoved(int page, int index, const std::string& name) override;
    void RefillCommentList() override { ++refills; }
    void Deliver();

    session::CommentEventHandler* handler = nullptr;
    app::PendingDetails* pending = nullptr;
    std::vector<std::string> posts;  // "deleted NAME", "moved PAGE,INDEX NAME"
    int refills = 0;

private:
    std::deque<std::function<void()>> queue_;
};

// The requests the worker sent, as "create NAME", "delete NAME", "move NAME 0>1".
class SentLog {
public:
    void Add(std::string line);
    std::vector<std::string> Lines() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the handler (after the test has prepared the registry or the folders).
    void Start(const std::string& workingFolder = "");

    // Draws the tool's sample comment as the reviewer would; its index.
    int Draw(control::AnnotTool tool, int page = 0);
    engine::AnnotDraft Draft(control::AnnotTool tool, int page = 0);
    control::AnnotId IdAt(int page, int index);
    control::PdfAnnot AnnotAt(int page, int index);
    // Waits until the worker has sent everything; the requests sent so far.
    std::vector<std::string> Sent();
    std::vector<platform::ScriptedPrompter::Entry> Prompts() const { return prompts_->entries(); }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string registryRoot;
    std::unique_ptr<engine::EngineControl> engine;
    std::unique_ptr<sync::AutosaveWorker> worker;
    app::CommentIndex index;
    app::PendingDetails pending;
    std::unique_ptr<session::ToolSettings> tools;
    session::SubjectToolTable subjects;
    QueuedSink sink;
    std::unique_ptr<session::CommentEventHandler> handler;
    std::shared_ptr<SentLog> sent = std::make_shared<SentLog>();
    platform::ScriptedPrompter* prompts_ = nullptr;
};

inline constexpr const char* kAuthor = "KIM-PIPING";
inline constexpr int32_t kColor = 0x00AA5500;

}  // namespace sessiontest
