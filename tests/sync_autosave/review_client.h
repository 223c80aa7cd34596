// One reviewer's client for the synchronisation tests: an engine with the sample drawing,
// an autosave worker talking to the bundled server, and merge callbacks that do what the
// viewer dialog does (import the comment's FDF, remove annotations found by name, set indices).
#pragma once

#include <memory>
#include <string>

#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "sync/autosave_worker.h"
#include "viewer/engine/engine_control.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::engine;

namespace autosavetest {

inline constexpr const char* kDocId = "10011";

struct CallbackCounts {
    int created = 0, updated = 0, deleted = 0, repliesChanged = 0, registered = 0, shown = 0;
};

class ReviewClient {
public:
    // drawing: a PDF path shared by the clients; userId: the reviewer.
    ReviewClient(const testsupport::ReviewServerProcess& server, const std::string& drawing,
                 const std::string& userId);
    ~ReviewClient();

    engine::EngineControl& control() { return *control_; }
    AutosaveWorker& worker() { return *worker_; }
    const std::string& userId() const { return userId_; }
    const std::string& folder() const { return folderPath_; }
    CallbackCounts counts;

    // Creates a comment of the tool in the engine (as the reviewer would) and autosaves it
    // as the viewer dialog does on AnnotAdded; returns its index on the page.
    int Draw(control::AnnotTool tool, int page);
    // Sends the queue now and waits until it is empty (at most 15 s).
    bool Flush();
    // Flush, then "publish.do" for this user; the new document revision (or -1).
    int Publish();
    // Index of the named comment on the page in the control, or -1.
    int ControlIndexOf(int page, const std::string& name);
    // The unique name of the comment at the index in the control.
    std::string NameAt(int page, int index);
    // Every comment record's index names the same comment in the control, and every
    // comment in the control has a record. Empty when so, else what differs.
    std::string MapsAgreeWithControl();

private:
    void AppendAnnot(CNMObject& record);

    const testsupport::ReviewServerProcess& server_;
    std::string userId_;
    testsupport::TempDir folder_;
    std::string folderPath_;
    std::unique_ptr<engine::EngineControl> control_;
    std::unique_ptr<AutosaveWorker> worker_;
};

// The sample drawing with pages pages in dir.
std::string MakeDrawing(const testsupport::TempDir& dir, int pages);

}  // namespace autosavetest
