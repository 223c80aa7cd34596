#include "session/review_sheet_fetch.h"

#include "app/comment_index.h"
#include "app/pending_details.h"
#include "platform/code_page.h"
#include "review/review_client.h"
#include "review/review_session.h"
#include "session/resolution_sheet_source.h"
#include "session/reviewer_role.h"
#include "session/viewer_comment_sync.h"
#include "sync/autosave_settings.h"
#include "sync/autosave_worker.h"
#include "viewer/engine/engine_control.h"

namespace quill::session {

FetchedReview::FetchedReview() = default;
FetchedReview::~FetchedReview() = default;
FetchedReview::FetchedReview(FetchedReview&&) noexcept = default;
FetchedReview& FetchedReview::operator=(FetchedReview&&) noexcept = default;

SheetTitle SheetTitleOf(const LaunchParams& params, const std::string& date) {
    SheetTitle title;
    title.documentNumber = platform::AnsiToUtf8(params.SQUADDOCNO);
    title.documentName = platform::AnsiToUtf8(params.SQUADDOCNM);
    title.revision = platform::AnsiToUtf8(params.NEXTREVISNNO);
    title.reviewNumber = std::to_string(params.SQURVWMNO);
    title.date = date;
    return title;
}

bool FetchReviewForSheet(const LaunchParams& params, const std::string& workingFolder,
                         FetchedReview& review, std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    ReviewSession session;
    const ReviewClient client(params, session);
    const std::string documentFile = workingFolder + "/review-document.pdf";
    std::string reason;
    if (client.DownloadDocument(documentFile, &reason) <= 0)
        return fail("cannot download the review document: " + reason);
    auto engine = std::make_unique<engine::EngineControl>();
    if (!engine->OpenFile(documentFile, nullptr))
        return fail("the review document does not open: " + documentFile);

    CommentIndex index;
    PendingDetails pending;
    {
        AutosaveSettings settings = AutosaveSettings::From(params, workingFolder);
        settings.session = &session;
        AutosaveWorker worker(engine.get(), engine->PageCount(), std::move(settings));
        ViewerCommentSync sync(*engine, index, pending, workingFolder, ReviewerRole::From(params));
        worker.SetCallbacks(sync.Callbacks());
        worker.GetLastestRevisions();
        if (worker.LastCheckFailed()) return fail("cannot read the review's comments");
    }

    FetchedReview fetched;
    fetched.comments = SheetCommentsFromControl(*engine);
    FillSheetPositions(*engine, fetched.comments);
    const CommandReply decisions = client.SendCommand("REVIEW");
    if (decisions.arrived) ReadSheetDecisions(decisions.body, fetched.decisions);
    const CommandReply outcomes = client.SendCommand("OUTCOME");
    if (outcomes.arrived) ReadCommentOutcomes(outcomes.body, fetched.outcomes);
    fetched.engine = std::move(engine);
    review = std::move(fetched);
    return true;
}

}  // namespace quill::session
