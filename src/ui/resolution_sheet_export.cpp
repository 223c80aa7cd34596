#include "ui/resolution_sheet_export.h"

#include <QApplication>
#include <QProgressDialog>

#include <memory>

#include "control/pdf_annot.h"
#include "control/pdf_page.h"
#include "control/pdf_viewer_control.h"
#include "session/resolution_sheet_source.h"
#include "sheet/resolution_sheet_pdf.h"
#include "sync/annot_by_name.h"
#include "viewer/widget/comment_thumbnailer.h"

namespace quill::ui {

namespace {

// Below this many rows the sheet is written before anyone could read a progress bar.
constexpr int kProgressFrom = 200;

}  // namespace

std::vector<session::SheetComment> GatherSheetComments(const app::CommentIndex& index,
                                                       control::PdfViewerControl* control) {
    std::vector<session::SheetComment> comments = session::SheetCommentsFromIndex(index);
    if (!control) return comments;
    const int32_t pages = control->PageCount();
    for (session::SheetComment& comment : comments) {
        if (comment.pageIndex < 0 || comment.pageIndex >= pages) continue;
        const auto entry = index.find(comment.name);
        const int hint = entry != index.end() ? entry->second.annotIndex : -1;
        const control::PdfAnnot annot =
            sync::FindAnnotByName(control->GetPage(comment.pageIndex), comment.name, hint);
        if (!annot.IsValid()) continue;
        comment.annotId = annot.Id();
        session::AddSheetReplies(annot.GetReplies(), comment.replies);
    }
    return comments;
}

bool SaveResolutionSheetFile(const QString& path, const session::SheetTitle& title,
                             const std::vector<session::SheetRow>& rows,
                             const engine::EngineControl* engine, QWidget* parent, QString* error) {
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        std::string reason;
        const QByteArray utf8 = path.toUtf8();
        const bool saved = session::SaveSheetCsv(utf8.toStdString(), rows, &reason);
        if (!saved && error) *error = QString::fromStdString(reason);
        return saved;
    }
    std::unique_ptr<QProgressDialog> progress;
    if (parent && static_cast<int>(rows.size()) >= kProgressFrom) {
        progress = std::make_unique<QProgressDialog>(
            QStringLiteral("Writing the resolution sheet..."), QStringLiteral("Cancel"), 0,
            static_cast<int>(rows.size()), parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    sheet::SheetPdfOptions options;
    std::unique_ptr<widget::CommentThumbnailer> thumbnails;
    if (engine && engine->IsOpen()) {
        thumbnails =
            std::make_unique<widget::CommentThumbnailer>(*engine, sheet::kSheetPictureSize);
        options.picture = [&thumbnails](const session::SheetRow& row) {
            return thumbnails->Thumbnail(row.annotId);
        };
    }
    options.progress = [&progress](int done, int) {
        if (!progress) return true;
        progress->setValue(done);
        QApplication::processEvents();
        return !progress->wasCanceled();
    };
    return sheet::WriteSheetPdf(path, title, rows, options, error);
}

}  // namespace quill::ui
