// The comment-resolution sheet as a landscape PDF table: title block, repeated headings, pages.
#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "session/resolution_sheet.h"

namespace quill::ui {

// Called after each row is laid out and drawn, with rows done and the total; returning false
// cancels the sheet.
using SheetProgress = std::function<bool(int done, int total)>;

// Writes the sheet to path (A3 landscape). False, with a reason in error when given, when the
// file cannot be written or the writing was cancelled; a cancelled sheet leaves no file.
bool WriteSheetPdf(const QString& path, const session::SheetTitle& title,
                   const std::vector<session::SheetRow>& rows, const SheetProgress& progress = {},
                   QString* error = nullptr);

// The number of pages the sheet takes (laid out as WriteSheetPdf does).
int SheetPdfPageCount(const std::vector<session::SheetRow>& rows);

}  // namespace quill::ui
