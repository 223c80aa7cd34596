// Scripted runs: write a PNG of the main window and end, when QUILLMARK_SCREENSHOT names a file.
#pragma once
#include "shell/shell_names.h"

class QWidget;

namespace quill::shell {

// True when the run was asked for a picture.
bool ScreenshotAsked();

// Takes the picture once the window has settled; the process then ends with status 0,
// or 1 when the picture cannot be written.
void ScheduleScreenshotIfAsked(QWidget* window, int delayMs = 1500);

// Takes the picture now if one was asked for (for windows that know when they are ready).
void TakeScreenshotNowIfAsked(QWidget* window);

// Ends a screenshot run with status 1 and the reason on standard error, when one was asked
// for; nothing otherwise.
void ScreenshotFailed(const char* reason);

}  // namespace quill::shell
