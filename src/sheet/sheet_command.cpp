#include "sheet/sheet_command.h"

#include <QDate>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "app/launch_params.h"
#include "review/comment_outcome_reply.h"
#include "session/resolution_sheet.h"
#include "session/resolution_sheet_source.h"
#include "session/review_sheet_fetch.h"
#include "sheet/resolution_sheet_pdf.h"
#include "viewer/engine/engine_control.h"
#include "viewer/widget/comment_thumbnailer.h"
#include "viewer/widget/page_labels.h"

namespace quill::sheet {

namespace {

// Reply files are small; anything past this is no reply of the server.
constexpr std::streamsize kMaxReplyBytes = 64 << 20;

bool ReadSmallFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in.rdbuf()), {});
    return !in.bad() && static_cast<std::streamsize>(text.size()) <= kMaxReplyBytes;
}

bool EndsWithPdf(const std::string& path) {
    return QString::fromStdString(path).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

std::string Today() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

// A saved "REVIEW" reply gives the decisions, a saved "OUTCOME" reply the decisions with their
// summaries and the feedback.
bool ReadReplyFile(const std::string& path, std::map<std::string, std::string>& decisions,
                   std::map<std::string, review::CommentOutcome>& outcomes) {
    std::string text;
    if (!ReadSmallFile(path, text)) {
        std::fprintf(stderr, "quill-pdf: cannot read %s\n", path.c_str());
        return false;
    }
    if (session::ReadSheetDecisions(text, decisions) || review::ReadCommentOutcomes(text, outcomes))
        return true;
    std::fprintf(stderr, "quill-pdf: %s: neither a cmntReview nor a cmntOutcome reply\n",
                 path.c_str());
    return false;
}

// QPdfWriter and the fonts need a GUI application; a command line has no display.
std::unique_ptr<QGuiApplication> StartQt() {
    if (QGuiApplication::instance()) return nullptr;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "quill-pdf";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int Write(const std::string& out, const session::SheetTitle& title,
          const std::vector<session::SheetRow>& rows, const engine::EngineControl& engine) {
    if (!EndsWithPdf(out)) {
        std::string error;
        if (!session::SaveSheetCsv(out, rows, &error)) {
            std::fprintf(stderr, "quill-pdf: %s\n", error.c_str());
            return 1;
        }
    } else {
        const std::unique_ptr<QGuiApplication> app = StartQt();
        widget::CommentThumbnailer thumbnails(engine, kSheetPictureSize);
        SheetPdfOptions options;
        options.picture = [&thumbnails](const session::SheetRow& row) {
            return thumbnails.Thumbnail(row.annotId);
        };
        QString error;
        if (!WriteSheetPdf(QString::fromStdString(out), title, rows, options, &error)) {
            std::fprintf(stderr, "quill-pdf: %s\n", error.toStdString().c_str());
            return 1;
        }
    }
    std::printf("%zu comments\n", rows.size());
    return 0;
}

// The sheet of a document with its comments from an exported FDF file.
int FromFiles(const std::string& pdf, const std::string& fdf, const std::string& replyFile,
              const std::string& out) {
    engine::EngineControl engine;
    if (!engine.OpenFile(pdf, nullptr)) {
        std::fprintf(stderr, "quill-pdf: cannot open %s (missing, damaged or encrypted)\n",
                     pdf.c_str());
        return 1;
    }
    if (!engine.ImportAnnotsFromFDFFile(fdf)) {
        std::fprintf(stderr, "quill-pdf: cannot read the annotations of %s\n", fdf.c_str());
        return 1;
    }
    std::map<std::string, std::string> decisions;
    std::map<std::string, review::CommentOutcome> outcomes;
    if (replyFile != "-" && !ReadReplyFile(replyFile, decisions, outcomes)) return 1;
    std::vector<session::SheetComment> comments = session::SheetCommentsFromControl(engine);
    session::FillSheetPositions(engine, comments);
    session::SheetTitle title;
    title.documentNumber = QString::fromStdString(pdf).section('/', -1).toStdString();
    title.date = Today();
    return Write(out, title,
                 session::CollectSheetRows(std::move(comments), decisions, outcomes,
                                           widget::ReadPageLabels(pdf)),
                 engine);
}

// The sheet of a review as the review server holds it; launch: the client's launch string,
// or "debug" for the bundled server's sample review.
int FromServer(const std::string& launch, const std::string& out) {
    app::LaunchParams params;
    const std::string& text = launch == "debug" ? app::DebugLaunchString() : launch;
    if (!app::ParseLaunchParams(text, params) || params.HOST.empty() || params.PORT <= 0) {
        std::fprintf(stderr, "quill-pdf: not a launch string: %s\n", launch.c_str());
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "quill-pdf: no temporary folder\n");
        return 1;
    }
    session::FetchedReview review;
    std::string error;
    if (!session::FetchReviewForSheet(params, folder.path().toStdString(), review, &error)) {
        std::fprintf(stderr, "quill-pdf: %s\n", error.c_str());
        return 1;
    }
    return Write(
        out, session::SheetTitleOf(params, Today()),
        session::CollectSheetRows(std::move(review.comments), review.decisions, review.outcomes,
                                  widget::ReadPageLabels(review.engine->FilePath())),
        *review.engine);
}

}  // namespace

const char* ResolutionSheetUsage() {
    return "       quill-pdf resolution-sheet FILE.pdf IN.fdf REPLY.json|- OUT.csv|OUT.pdf\n"
           "       quill-pdf resolution-sheet --review LAUNCH-STRING|debug OUT.csv|OUT.pdf\n";
}

int RunResolutionSheetCommand(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "--review") return FromServer(args[1], args[2]);
    if (args.size() == 4) return FromFiles(args[0], args[1], args[2], args[3]);
    return 2;
}

}  // namespace quill::sheet
