// A consolidation page's surroundings for tests: an engine with comments on a sample drawing,
// their records and list entries, a recording review server, a scripted content store, and
// the window's callbacks counted.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/comment_index.h"
#include "app/launch_params.h"
#include "ecm/fake_request.h"
#include "platform/prompter.h"
#include "review/review_session.h"
#include "session/consolidation_flow.h"
#include "support/temp_dir.h"
#include "sync/page_annot_map.h"
#include "viewer/engine/engine_control.h"

namespace consolidationtest {

// Answers each request from its queue (the default reply once the queue is used up) and
// records every request in order: "PARTICIPANTS", "merge:<name>:<text>", "finishall:3:<text>".
class RecordingRequests : public quill::session::ConsolidationRequests {
public:
    RecordingRequests();
    quill::review::CommandReply Command(const std::string& command) override;
    std::string MergeCommentDetail() override;
    std::string Merge(const std::string& cmntId, const std::string& text) override;
    std::string ConvertResult(const std::string& fileName, const std::string& ecmNo) override;
    std::string FinishAll(int participantSeq, const std::string& text) override;

    // Replies by kind: a command's name, "mergeCommentDtl", "merge", "convert", "finishall".
    std::map<std::string, std::deque<quill::review::CommandReply>> queued;
    std::map<std::string, quill::review::CommandReply> defaults;
    std::vector<std::string> sent;

private:
    quill::review::CommandReply Next(const std::string& kind);
};

struct Comment {
    std::string author;  // "name-discipline"
    int status;          // feedback status
    int page = 0;
    std::string contents = "";
};

// Members are public: the table-driven tests arrange them from outside.
class FlowFixture : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;
    // Everything back to a fresh start (SetUp does it first).
    void Reset();

    // Draws the comments (each a rectangle of the sample drafts, in order per page) and enters
    // their records and list entries. Returns their names in the order given.
    std::vector<std::string> AddComments(const std::vector<Comment>& comments);
    // A flow over the fixture's parts; questions answered in order.
    quill::session::ConsolidationFlow& Make(
        std::vector<quill::platform::PromptAnswer> answers = {});
    // The content store answers a whole upload with this identifier.
    void StoreAnswers(const std::string& identifier = "QC20261207120000-00c0ffee");

    std::vector<std::string> Texts() const;
    std::vector<quill::platform::PromptKind> Kinds() const;
    // Names of the comments the control holds on a page, in index order.
    std::vector<std::string> NamesOnPage(int page);

    testsupport::TempDir dir;
    std::string working;
    std::unique_ptr<quill::engine::EngineControl> control;
    std::unique_ptr<quill::sync::PageAnnotMap> maps;
    quill::app::CommentIndex index;
    quill::session::EngineerIndex engineers;
    quill::app::LaunchParams params;
    quill::review::ReviewSession session;
    RecordingRequests requests;
    ecmtest::Script store;
    std::unique_ptr<quill::platform::ScriptedPrompter> prompts;
    std::shared_ptr<quill::session::WatcherState> watcher =
        std::make_shared<quill::session::WatcherState>();
    std::unique_ptr<quill::session::ConsolidationFlow> flow;

    // What the window saw.
    int busyOn = 0, busyOff = 0, pumps = 0, dialogOk = 0, drains = 0, publishes = 0;
    bool controlsEnabled = true;
    bool drainResult = true;
    bool publishResult = true;
    bool publishToParentDuringPublish = false;
    std::vector<std::pair<int, int>> modified;
    std::function<void()> onPump;
};

}  // namespace consolidationtest
