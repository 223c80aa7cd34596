// "quill-pdf resolution-sheet": the comment-resolution sheet from the command line, over a
// document with exported comments or over a review on the review server.
#pragma once
#include "sheet/sheet_names.h"

#include <string>
#include <vector>

namespace quill::sheet {

// args: what follows "resolution-sheet". Writes CSV, or PDF when the output ends in ".pdf";
// prints what it did to stdout and why it failed to stderr. Returns the exit code: 0 done,
// 1 failed, 2 wrong arguments.
int RunResolutionSheetCommand(const std::vector<std::string>& args);

// The usage lines of the command.
const char* ResolutionSheetUsage();

}  // namespace quill::sheet
