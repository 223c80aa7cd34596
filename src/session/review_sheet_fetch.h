// Everything the comment-resolution sheet needs, fetched from the review server as a client
// that only reads: the document, every published comment, the decisions and the feedback.
#pragma once
#include "session/session_names.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/launch_params.h"
#include "review/comment_outcome_reply.h"
#include "session/resolution_sheet.h"

namespace quill::engine {
class EngineControl;
}

namespace quill::session {

struct FetchedReview {
    FetchedReview();
    ~FetchedReview();
    FetchedReview(FetchedReview&&) noexcept;
    FetchedReview& operator=(FetchedReview&&) noexcept;

    // The review document with every published comment; its file stays in the working
    // folder for as long as the caller needs the pages.
    std::unique_ptr<engine::EngineControl> engine;
    std::vector<SheetComment> comments;  // in page and list order, positions filled in
    std::map<std::string, std::string> decisions;
    std::map<std::string, review::CommentOutcome> outcomes;
};

// The title block of a review's sheet: document number and name, revision, review number.
SheetTitle SheetTitleOf(const LaunchParams& params, const std::string& date);

// Downloads the review document into workingFolder, takes in every published comment and
// reads "REVIEW" and "OUTCOME". Nothing is sent that changes the review. False, with a reason
// in error, when the document cannot be had or the comments cannot be read; a missing
// decision or outcome reply leaves those columns to the comments' own state.
bool FetchReviewForSheet(const LaunchParams& params, const std::string& workingFolder,
                         FetchedReview& review, std::string* error = nullptr);

}  // namespace quill::session
