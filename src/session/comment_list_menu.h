// Which feedback choices a card's pop-up menu offers, by the reviewer's role and step.
#pragma once
#include "session/session_names.h"

#include <string>

namespace quill::session {

// Commands of the card menu.
inline constexpr int kCommandApply = 3020;
inline constexpr int kCommandDoNotApply = 3021;
inline constexpr int kCommandAgree = 3026;
inline constexpr int kCommandDisagree = 3027;

enum class CardMenu {
    kNone,
    kFeedback,  // "Agree", "Disagree"
    kInitiator  // "Apply", "Do Not Apply"
};

struct CardMenuRole {
    bool patcpClass03 = false;
    bool feedbackMode = false;
    bool isOpener = false;
    std::string authorName;
};

// annotAuthor: the annotation's Author as the viewer holds it now (found by name), or empty
// when the annotation is gone; in the feedback step only the reviewer's own comments offer
// a choice, compared byte for byte.
CardMenu CardMenuFor(const CardMenuRole& role, const std::string& annotAuthor, bool annotFound);

// A command of the card menu opens the review dialog: true in its positive form ("Apply",
// "Agree"); the form through positive, false for a command that is not the menu's.
bool ReviewFormOfCommand(int command, bool& positive);

}  // namespace quill::session
