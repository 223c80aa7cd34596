// Shared pieces of the viewer dialog tests: the application object, sample drawings, a dialog
// against the bundled server, and another reviewer who saves comments through it.
#pragma once

#include <memory>
#include <string>

#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/pending_details.h"
#include "platform/prompter.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "sync/autosave_worker.h"
#include "viewer/engine/engine_control.h"
#include "viewer/pdf_viewer_dlg.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;
using namespace quill::sync;
using namespace quill::engine;
using namespace quill::viewer;

namespace dialogtest {

inline constexpr const char* kDocId = "10011";

// One QApplication for the test program (offscreen).
void EnsureApp();

// The sample drawing with the given page count and /Rotate values.
std::string MakeDrawing(const testsupport::TempDir& dir, int pages, std::vector<int> rotations = {},
                        const std::string& name = "drawing.pdf");

// Launch values of a reviewer of review 1001 on the server.
LaunchParams ReviewerParams(const testsupport::ReviewServerProcess& server,
                            const std::string& userId, const std::string& discipline,
                            const std::string& elementId);

// A viewer dialog with its own tables and folders; a failed open is recorded, not fatal. The
// tools' styles live under registryRoot, else in a registry folder of its own.
struct DialogUnderTest {
    explicit DialogUnderTest(const LaunchParams& params, ViewerDialogHost* host = nullptr,
                             const std::string& registryRoot = "");
    ~DialogUnderTest();

    LaunchParams params;
    testsupport::TempDir folder;
    CommentIndex index;
    PendingDetails pending;
    CommentCopyBuffer copy;
    bool terminated = false;
    std::unique_ptr<CPdfViewerDlg> dialog;
};

// Another reviewer's engine and worker on the same review, drawing and changing comments
// and publishing them.
class OtherReviewer {
public:
    OtherReviewer(const testsupport::ReviewServerProcess& server, const std::string& drawing,
                  const std::string& userId, const std::string& author);
    ~OtherReviewer();

    engine::EngineControl& control() { return *control_; }
    AutosaveWorker& worker() { return *worker_; }
    // Draws a comment of the tool and autosaves it; its index on the page.
    int Draw(control::AnnotTool tool, int page);
    // Sends the queue and publishes; the new revision, or -1.
    int Publish();

private:
    const testsupport::ReviewServerProcess& server_;
    std::string userId_;
    testsupport::TempDir folder_;
    std::unique_ptr<engine::EngineControl> control_;
    std::unique_ptr<AutosaveWorker> worker_;
};

// Installs a ScriptedPrompter for the test and removes it afterwards.
class PromptRecorder {
public:
    PromptRecorder();
    ~PromptRecorder();
    platform::ScriptedPrompter& operator*() { return *prompter_; }
    platform::ScriptedPrompter* operator->() { return prompter_; }

private:
    platform::ScriptedPrompter* prompter_;
};

}  // namespace dialogtest
