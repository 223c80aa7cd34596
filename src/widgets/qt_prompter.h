// Message boxes shown with Qt, caption "PDF Lumaro".
#pragma once

#include "platform/prompter.h"

namespace quill::widgets {

using namespace quill::platform;  // the prompt kinds and answers

// Must be created on the GUI thread. Prompts from other threads are shown on the GUI thread:
// notices without waiting, questions by waiting for the answer.
class QtPrompter : public Prompter {
public:
    PromptAnswer Show(PromptKind kind, const std::string& text, bool withCancel) override;
};

}  // namespace quill::widgets
