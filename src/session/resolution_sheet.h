// The comment-resolution sheet: one row per comment with its replies and decision, and its CSV.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/comment_index.h"
#include "review/comment_outcome_reply.h"

namespace quill::session {

// One comment as the client holds it; every text is in the system code page.
struct SheetComment {
    std::string name;          // the annotation's unique name, the key of the decisions
    uint64_t annotId = 0;      // the annotation in the viewer control, 0 when not known
    int pageIndex = 0;         // from 0
    int order = 0;             // position within the review (the comment list's order)
    bool hasPosition = false;  // x and y are known
    double x = 0;              // position of the comment on its page, in points
    double y = 0;
    std::string author;  // "name-discipline"
    std::string date;
    std::string subject;
    std::string contents;
    std::vector<std::pair<std::string, std::string>> replies;  // author, text; oldest first
    int feedbackStatus = app::kFeedbackUnderReview;
};

// One row of the sheet; every text is UTF-8.
struct SheetRow {
    int number = 0;  // from 1
    std::string pageLabel;
    std::string discipline;
    std::string author;
    std::string date;
    std::string type;
    std::string contents;
    std::vector<std::string> replies;  // "author: text"
    std::string decision;              // "Apply", "Do Not Apply", "Under SC" or empty
    std::string decisionSummary;       // the initiator's text with the decision
    std::string feedback;              // "Agree: text", "Disagree", ... or empty
    std::string link;                  // "page 3 (120, 450)", or "page 3" without a known position
    uint64_t annotId = 0;
    int pageIndex = 0;
    double x = 0;
    double y = 0;
};

// What the title block of the sheet shows; UTF-8.
struct SheetTitle {
    std::string documentNumber;
    std::string documentName;
    std::string revision;
    std::string reviewNumber;
    std::string date;
};

// The sheet's discipline column: the text after the first "-" of the author, empty without
// one (the lock on other disciplines in reviewer_role.h reads the last "-" instead).
std::string SheetDisciplineOf(const std::string& author);

// The label of a decision letter of "REVIEW" ("Y", "N", "C"); empty for anything else.
std::string DecisionText(const std::string& letter);

// The feedback cell: "Agree" or "Disagree", then ": " and the text when there is one; the
// text alone when the flag is missing.
std::string FeedbackText(const review::CommentOutcome& outcome);

// The rows, ordered by page and then by order. decisions maps a comment's name to its letter
// from "REVIEW"; a comment without one falls back to the outcome's decision and then to its
// feedbackStatus. outcomes ("OUTCOME") give the decision summary and the feedback. pageLabels
// gives the label of a page index; a page missing from it is labelled by its number from 1.
std::vector<SheetRow> CollectSheetRows(
    std::vector<SheetComment> comments, const std::map<std::string, std::string>& decisions,
    const std::map<std::string, review::CommentOutcome>& outcomes = {},
    const std::map<int, std::string>& pageLabels = {});

// The comments of the index, without replies, feedback or position (which live in the
// viewer): a start for the caller to fill in.
std::vector<SheetComment> SheetCommentsFromIndex(const app::CommentIndex& index);

// The column headings of the sheet, in order.
const std::vector<std::string>& SheetHeadings();
// The cells of a row, in the order of the headings; replies one a line.
std::vector<std::string> SheetCells(const SheetRow& row);

// One CSV field: quoted when it holds a comma, a quote, a line break or blanks at its ends.
std::string CsvField(const std::string& text);
// The sheet as CSV: UTF-8 with a byte order mark, a heading line, CRLF between records.
void WriteSheetCsv(const std::vector<SheetRow>& rows, std::ostream& out);
std::string SheetCsv(const std::vector<SheetRow>& rows);
// Writes the CSV next to path and moves it into place, so a failed write never leaves half a
// sheet over an older one. False, with a reason in error when given, on failure.
bool SaveSheetCsv(const std::string& path, const std::vector<SheetRow>& rows,
                  std::string* error = nullptr);

}  // namespace quill::session
