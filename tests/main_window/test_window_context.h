// The main window's context for a test or a benchmark: its own folder, tables and session, on the
// launch values given, with the process's end recorded instead of taken. Needs no test library.
#pragma once

#include <string>

#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "app/launch_params.h"
#include "app/pending_details.h"
#include "review/review_session.h"
#include "ui/quillmark_dlg.h"

namespace windowtest {

// Everything named must outlive the window.
quill::ui::CQuillmarkDlg::Context TestWindowContext(
    const quill::app::LaunchParams& params, const std::string& folder,
    quill::app::CommentIndex& index, quill::app::PendingDetails& pending,
    quill::app::CommentCopyBuffer& copy, quill::review::ReviewSession& session, bool& terminated);

}  // namespace windowtest
