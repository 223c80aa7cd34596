#include "session/comment_list_card.h"
#include "session/session_names.h"

#include "platform/code_page.h"

namespace quill::session {

const char* FeedbackStatusText(int status) {
    switch (status) {
        case 1:
            return kStatusApply;
        case 2:
            return kStatusDoNotApply;
        default:
            return kStatusUnderReview;
    }
}

bool HasWebLink(const std::string& contents) {
    return contents.find("http://") != std::string::npos ||
           contents.find("https://") != std::string::npos;
}

AuthorParts SplitAuthor(const std::string& author) {
    AuthorParts parts;
    const size_t dash = author.find('-');
    if (dash == std::string::npos) {
        parts.discipline = platform::TrimMultiByte(author);
        return parts;
    }
    parts.engineer = platform::TrimMultiByte(author.substr(0, dash));
    parts.discipline = platform::TrimMultiByte(author.substr(dash + 1));
    return parts;
}

}  // namespace quill::session
