// What one card of the comment list shows: the comment's texts, icons and selection.
#pragma once
#include "session/session_names.h"

#include <string>

namespace quill::session {

// Status texts of the cards by feedback status.
inline constexpr const char* kStatusUnderReview = "Under SC";
inline constexpr const char* kStatusApply = "Apply";
inline constexpr const char* kStatusDoNotApply = "Do Not Apply";

// The status text of a feedback status; a status outside 0 to 2 reads "Under SC".
const char* FeedbackStatusText(int status);

// True when the contents hold a web address: "http://" or "https://", byte for byte.
bool HasWebLink(const std::string& contents);

// The author "engineer-discipline" split at its first "-", both parts trimmed of white
// space; without "-" the engineer is empty and the discipline is the whole text.
struct AuthorParts {
    std::string engineer;
    std::string discipline;
};
AuthorParts SplitAuthor(const std::string& author);

struct CommentCard {
    int typeCode = -1;  // comment type 0 (cloud) to 16 (image); -1: no icon
    std::string statusText = kStatusUnderReview;
    std::string date;
    std::string author;
    std::string contents;
    int replyCount = 0;
    bool selected = false;
    int listPosition = 0;
    std::string name;  // the annotation's name
    int pageIndex = 0;
    bool hasLink = false;

    // Sets the contents and, with them, the has-link flag.
    void SetContents(const std::string& text) {
        contents = text;
        hasLink = HasWebLink(text);
    }
};

}  // namespace quill::session
