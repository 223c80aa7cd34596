// A main window of one reviewer ("reviewer1", piping) on the seeded demo review of the bundled
// server, with its own folder, tables and session: the fixture the main window's tests and the
// comment list's share.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/pending_details.h"
#include "review/review_session.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "ui/quillmark_dlg.h"
#include "viewer_dialog/dialog_fixture.h"

namespace windowtest {

class DemoWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the window (1280 x 800) on the launch values as the test left them.
    quill::ui::CQuillmarkDlg& Open(std::function<bool(bool, QWidget*)> finish = {});
    // Shows the window and waits (up to 20 s) for its start step.
    bool Start();

    testsupport::ReviewServerProcess server;
    testsupport::TempDir folder;
    quill::app::LaunchParams params;
    quill::app::CommentIndex index;
    quill::app::PendingDetails pending;
    quill::app::CommentCopyBuffer copy;
    quill::review::ReviewSession session;
    dialogtest::PromptRecorder prompts;
    bool terminated = false;
    std::unique_ptr<quill::ui::CQuillmarkDlg> window;
};

}  // namespace windowtest
