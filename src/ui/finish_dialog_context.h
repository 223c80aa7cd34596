// What the finish dialogs work with, and the main window's finish dialog factory for the
// running application.
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

// Runs the initiator's (isOpener) or the participant's finish dialog over parent with the
// running application's values; true when it ended with OK.
bool RunAppFinishDialog(bool isOpener, QWidget* parent);

}  // namespace quill::ui
