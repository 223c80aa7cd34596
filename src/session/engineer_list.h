// The consolidation page's engineer list without its window: one line per author of a
// comment, waiting engineers first, and the summaries typed for the selected ones.
#pragma once
#include "session/session_names.h"

#include <string>
#include <vector>

#include "app/comment_index.h"
#include "session/engineer_index.h"
#include "session/participants.h"

namespace quill::session {

struct AuthorLine {
    std::string author;
    bool consolidationFinished = true;
    std::string dateDigits;  // the first comment's date without ":", "-" and blanks
    int annotIndex = 0;      // that comment's annotation index
};

// The authors of the comments, in annotation-name order of their first comment. Every entry's
// author text is trimmed in place. An author no participant matches counts as finished.
std::vector<AuthorLine> CollectAuthors(CommentIndex& index, const ParticipantTable& participants);

// The engineer list: the authors ordered by "A<date digits><index>" for waiting ones and "B..."
// for finished ones, byte-wise; authors whose keys are equal all stay, in the order found.
// Each one's finished flag goes into the engineer index; its summary stays as it was typed.
std::vector<AuthorLine> OrderEngineerList(std::vector<AuthorLine> authors,
                                          EngineerIndex& engineers);

// The summary edit's text for the selected engineers: stored, trimmed, as the summary of each
// selected engineer who is still waiting. False when none of them is (the page then empties
// the edit).
bool StoreSummary(EngineerIndex& engineers, const std::vector<std::string>& selected,
                  const std::string& text);

}  // namespace quill::session
