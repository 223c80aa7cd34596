#include "ui/comment_list_box.h"
#include "ui/ui_names.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/launch_params.h"
#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "platform/prompter.h"
#include "session/comment_list_copy_files.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "sync/base_exception.h"
#include "ui/comment_ctrl.h"
#include "ui/comment_list_host.h"
#include "ui/comment_list_items.h"
#include "widgets/art_ids.h"
#include "widgets/icon_menu.h"

namespace quill::ui {

namespace {

const char* const kSelectComment = "Please select a comment.";
const char* const kMultipleCopy = "Multiple comments copy is not supported.";
const char* const kNotOwnComment =
    "You can copy comment of your and engineer\nin the discipline that you are assigned.";
const QColor kMenuBackground(0, 51, 102);

const LaunchParams& NoParams() {
    static const LaunchParams params;
    return params;
}

}  // namespace

CCommentListBox::CCommentListBox(Context context, QWidget* parent)
    : QListView(parent), context_(std::move(context)) {
    items_ = new CommentListItems(this);
    delegate_ = new CCommentCtrl(this);
    setModel(items_);
    setItemDelegate(delegate_);
    // Every card has the same size: the view lays out thousands without asking each.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(CCommentCtrl::kHeight / 4);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setStyleSheet(
        QStringLiteral("QListView { background: rgb(216,217,222); border: none; }"
                       "QScrollBar:vertical { width: 19px; }"));
    menuRunner_ = [](widgets::CIconMenu& menu, const QPoint& at) { return menu.Run(at); };
    if (!context_.params) context_.params = &NoParams();
}

CCommentListBox::~CCommentListBox() = default;

void CCommentListBox::Refill(int sortOrder, const std::string& filter) {
    if (!context_.index) return;
    static const AnnotSubjectTable kNoSubjects;
    items_->Refill(*context_.index, sortOrder, filter,
                   context_.subjects ? *context_.subjects : kNoSubjects);
}

void CCommentListBox::ApplySelection(int page, const std::string& name, bool multiSelect,
                                     bool keep) {
    for (const int row : items_->Cards().Select(page, name, multiSelect, keep))
        items_->RowChanged(row);
    // The clicked card repaints also when its selection stayed.
    items_->RowChanged(items_->Cards().RowOf(name));
}

bool CCommentListBox::SetStatusText(const std::string& name, const std::string& label) {
    const int row = items_->Cards().SetStatusText(name, label);
    items_->RowChanged(row);
    return row >= 0;
}

std::vector<std::string> CCommentListBox::SelectedNames() const {
    return items_->Cards().SelectedNames();
}

const std::string& CCommentListBox::CurrentName() const { return items_->Cards().CurrentName(); }

int CCommentListBox::CurrentPage() const { return items_->Cards().CurrentPage(); }

QRect CCommentListBox::CardRect(int row) const { return visualRect(items_->index(row)); }

// ---------------------------------------------------------------------------------------
// Mouse

void CCommentListBox::mousePressEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0 || row >= items_->Cards().Count() || !context_.host) return;
    // Copies: the host's handling may build the list again.
    const session::CommentCard& card = items_->Cards().Card(row);
    const std::string name = card.name;
    const int page = card.pageIndex;
    if (event->button() == Qt::LeftButton) {
        context_.host->KeepSelection(false);
        context_.host->CommentClicked(page, name);
        setFocus(Qt::MouseFocusReason);
    } else if (event->button() == Qt::RightButton) {
        // A right click on a selected card keeps the others selected.
        context_.host->KeepSelection(card.selected);
        context_.host->CommentClicked(page, name);
        const int now = items_->Cards().RowOf(name);
        if (now >= 0) OpenCardMenu(now, event->globalPosition().toPoint());
    }
}

void CCommentListBox::mouseReleaseEvent(QMouseEvent*) {}
void CCommentListBox::mouseMoveEvent(QMouseEvent*) {}

void CCommentListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !context_.host) return;
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0 || row >= items_->Cards().Count()) return;
    const session::CommentCard& card = items_->Cards().Card(row);
    context_.host->ShowComment(card.pageIndex, std::string(card.name));
}

bool CCommentListBox::ReadAuthor(int page, const std::string& name, std::string& author) const {
    control::PdfViewerControl* control = context_.host ? context_.host->CommentControl() : nullptr;
    if (!control || name.empty() || page < 0 || page >= control->PageCount()) return false;
    int hint = -1;
    if (context_.index) {
        const auto entry = context_.index->find(name);
        if (entry != context_.index->end()) hint = entry->second.annotIndex;
    }
    const control::PdfAnnot annot = FindAnnotByName(control->GetPage(page), name, hint);
    if (!annot.IsValid()) return false;
    author = annot.Author();
    return true;
}

void CCommentListBox::OpenCardMenu(int row, const QPoint& globalPos) {
    const LaunchParams& params = *context_.params;
    const std::string name = items_->Cards().Card(row).name;
    const int page = items_->Cards().Card(row).pageIndex;
    session::CardMenuRole role;
    role.patcpClass03 = params.patcpClass03;
    role.feedbackMode = params.feedbackMode;
    role.isOpener = params.isOpener;
    role.authorName = params.authorName;
    std::string author;
    // The author is read only when the step needs it: the viewer is asked by name.
    const bool found =
        params.feedbackMode && !params.patcpClass03 && ReadAuthor(page, name, author);
    const session::CardMenu kind = session::CardMenuFor(role, author, found);
    if (kind == session::CardMenu::kNone) return;

    widgets::CIconMenu menu(this);
    menu.SetColours(kMenuBackground, Qt::white);
    if (kind == session::CardMenu::kFeedback) {
        menu.AddItem(QStringLiteral("Agree"), widgets::ArtId::AgreeMenuIcon,
                     session::kCommandAgree);
        menu.addSeparator();
        menu.AddItem(QStringLiteral("Disagree"), widgets::ArtId::DisagreeMenuIcon,
                     session::kCommandDisagree);
    } else {
        menu.AddItem(QStringLiteral("Apply"), widgets::ArtId::AgreeMenuIcon,
                     session::kCommandApply);
        menu.addSeparator();
        menu.AddItem(QStringLiteral("Do Not Apply"), widgets::ArtId::DisagreeMenuIcon,
                     session::kCommandDoNotApply);
    }
    const int command = menuRunner_ ? menuRunner_(menu, globalPos) : 0;
    bool positive = false;
    if (session::ReviewFormOfCommand(command, positive) && context_.host)
        context_.host->OpenReviewDialog(name, positive);
}

// ---------------------------------------------------------------------------------------
// Keyboard

void CCommentListBox::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(*event)) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void CCommentListBox::keyReleaseEvent(QKeyEvent* event) {
    if (HandleKey(*event)) {
        event->accept();
        return;
    }
    QListView::keyReleaseEvent(event);
}

bool CCommentListBox::HandleKey(const QKeyEvent& event) {
    const LaunchParams& params = *context_.params;
    const bool press = event.type() == QEvent::KeyPress;
    const int key = event.key();
    if (key == Qt::Key_Control) {
        if (params.isOpener && context_.host) context_.host->SetMultiSelect(press);
        return true;
    }
    if (!press) return false;
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F1:
        case Qt::Key_F4:
            return true;
        case Qt::Key_Escape:
            if (context_.host) context_.host->SelectHandTool();
            return true;
        case Qt::Key_Delete: {
            session::CommentListModel& cards = items_->Cards();
            if (params.patcpClass03 || params.feedbackMode || cards.CurrentName().empty())
                return false;
            const std::string name = cards.CurrentName();
            const int page = cards.CurrentPage();
            if (context_.host) context_.host->DeleteComment(page, name);
            cards.ClearCurrentName();
            if (context_.copyBuffer) context_.copyBuffer->Clear();
            return true;
        }
        case Qt::Key_C:
            if (!ctrl) return false;
            CopyComment();
            return true;
        case Qt::Key_V:
            if (!ctrl) return false;
            PasteComment();
            return true;
        default:
            return false;
    }
}

void CCommentListBox::ClearMultiSelect() {
    if (context_.params->isOpener && context_.host) context_.host->SetMultiSelect(false);
}

void CCommentListBox::Inform(const std::string& text) {
    ClearMultiSelect();
    platform::Prompts().Info(text);
}

void CCommentListBox::CopyComment() {
    session::CommentListModel& cards = items_->Cards();
    if (cards.SelectedCount() > 1) return Inform(kMultipleCopy);
    if (cards.CurrentName().empty()) return Inform(kSelectComment);
    const std::string name = cards.CurrentName();
    int page = cards.CurrentPage();
    int annotIndex = 0;
    if (context_.index) {
        const auto entry = context_.index->find(name);
        if (entry != context_.index->end()) {
            page = entry->second.pageIndex;
            annotIndex = entry->second.annotIndex;
        }
    }
    std::string author;
    const bool found = ReadAuthor(page, name, author);
    // The clipboard holds nothing of an earlier copy, whatever the check below says.
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(QString());
    }
    // A refused copy leaves nothing to paste, not the comment copied before it.
    if (context_.copyBuffer) context_.copyBuffer->Clear();
    if (!found || author != context_.params->authorName) return Inform(kNotOwnComment);
    if (!context_.copyBuffer) return;
    CommentCopyBuffer& copy = *context_.copyBuffer;
    copy.name = name;
    copy.page = page;
    copy.annotIndex = annotIndex;
    session::DeleteCopyFiles(context_.workingFolder);
}

void CCommentListBox::PasteComment() {
    if (!context_.copyBuffer || !context_.copyBuffer->HoldsComment()) return Inform(kSelectComment);
    CommentCopyBuffer& copy = *context_.copyBuffer;
    control::PdfViewerControl* control = context_.host ? context_.host->CommentControl() : nullptr;
    AutosaveWorker* worker = context_.host ? context_.host->CommentWorker() : nullptr;
    if (!control || !worker) return;
    // The comment is found by its name: a merge or a deletion since the copy may have moved
    // another comment to the index it had.
    std::string author;
    if (!ReadAuthor(copy.page, copy.name, author)) {
        copy.Clear();
        return Inform(kSelectComment);
    }
    try {
        const std::string path = worker->CopyComment(copy.page, copy.name, true);
        if (path.empty()) return;
        copy.fdfFile = path;
        worker->AddCommentFromFdf(control->CurrentPage(), path);
        items_->Cards().ClearCurrentName();
        copy.Clear();
    } catch (const BaseException& e) {
        WriteLog("PasteComment", e.what());
        platform::Prompts().Error(e.what());
    }
}

}  // namespace quill::ui
