#include "session/comment_list_menu.h"
#include "session/session_names.h"

namespace quill::session {

CardMenu CardMenuFor(const CardMenuRole& role, const std::string& annotAuthor, bool annotFound) {
    if (role.patcpClass03) return CardMenu::kNone;
    if (role.feedbackMode) {
        return annotFound && annotAuthor == role.authorName ? CardMenu::kFeedback : CardMenu::kNone;
    }
    return role.isOpener ? CardMenu::kInitiator : CardMenu::kNone;
}

bool ReviewFormOfCommand(int command, bool& positive) {
    switch (command) {
        case kCommandApply:
        case kCommandAgree:
            positive = true;
            return true;
        case kCommandDoNotApply:
        case kCommandDisagree:
            positive = false;
            return true;
        default:
            return false;
    }
}

}  // namespace quill::session
