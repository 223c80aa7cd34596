// The comment-resolution sheet as a landscape PDF table: title block, repeated headings, pages,
// and a picture of each comment's area when the caller supplies them.
#pragma once
#include "sheet/sheet_names.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

#include "session/resolution_sheet.h"

namespace quill::sheet {

// Called after each row is drawn, with rows done and the total; returning false cancels.
using SheetProgress = std::function<bool(int done, int total)>;
// The picture of a row's comment, or a null image for none; asked once per row, in row order.
using SheetPicture = std::function<QImage(const session::SheetRow& row)>;

// The pixels of a picture: sharp in its cell when printed, small enough for thousands of them.
inline constexpr QSize kSheetPictureSize{300, 200};

struct SheetPdfOptions {
    SheetPicture picture;  // empty: the sheet has no "Area" column
    SheetProgress progress;
};

// Writes the sheet to path (A3 landscape). False, with a reason in error when given, when the
// file cannot be written or the writing was cancelled; a failed or cancelled sheet leaves an
// older file at path as it was.
bool WriteSheetPdf(const QString& path, const session::SheetTitle& title,
                   const std::vector<session::SheetRow>& rows, const SheetPdfOptions& options = {},
                   QString* error = nullptr);

// The number of pages the sheet takes (laid out as WriteSheetPdf does).
int SheetPdfPageCount(const std::vector<session::SheetRow>& rows, bool withPictures = false);

}  // namespace quill::sheet
