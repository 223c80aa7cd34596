// What the finish dialogs work with.
#pragma once
#include "ui/ui_names.h"

#include <functional>
#include <string>

#include "platform/prompter.h"
#include "session/review_steps.h"

class QWidget;
class QString;

namespace quill::ui {

struct FinishDialogContext {
    ReviewSteps* steps = nullptr;
    platform::Prompter* prompter = nullptr;
    std::string squadDocNo;  // SQUADDOCNO, system code page
    // Builds the "Consolidation" page inside the tab control; calling endWithOk ends the finish
    // dialog with OK. Without it the page stays empty.
    std::function<QWidget*(QWidget* parent, std::function<void()> endWithOk)> consolidationPage;
};

// The notice of both finish forms, with the document number filled in.
QString FinishNotice(const std::string& squadDocNo);

}  // namespace quill::ui
