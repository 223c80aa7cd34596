#include "main_window/test_window_context.h"

#include <chrono>

namespace windowtest {

using namespace std::chrono_literals;

quill::ui::CQuillmarkDlg::Context TestWindowContext(
    const quill::app::LaunchParams& params, const std::string& folder,
    quill::app::CommentIndex& index, quill::app::PendingDetails& pending,
    quill::app::CommentCopyBuffer& copy, quill::review::ReviewSession& session, bool& terminated) {
    quill::ui::CQuillmarkDlg::Context context;
    context.params = &params;
    context.commandTail = "debug";
    context.installFolder = folder;
    context.viewer.params = &params;
    context.viewer.installFolder = folder;
    context.viewer.workingFolder = folder;
    context.viewer.documentFile = folder + "/document";
    context.viewer.commentIndex = &index;
    context.viewer.pendingDetails = &pending;
    context.viewer.copyBuffer = &copy;
    context.viewer.session = &session;
    context.viewer.terminate = [&terminated] { terminated = true; };
    context.terminate = [&terminated] { terminated = true; };
    // Short polls, so that tests see the indicator move within moments.
    context.watcherTiming = {100ms, 50ms};
    return context;
}

}  // namespace windowtest
