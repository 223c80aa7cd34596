// CCommentListBox: the main window's list of comment cards, with its mouse, keyboard, copy
// and paste handling.
#pragma once
#include "ui/ui_names.h"

#include <QListView>
#include <functional>
#include <string>
#include <vector>

#include "app/annot_subject_table.h"
#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "session/comment_list_menu.h"

namespace quill::app {
struct LaunchParams;
}
namespace quill::widgets {
class CIconMenu;
}

namespace quill::ui {

class CCommentCtrl;
class CommentListHost;
class CommentListItems;

class CCommentListBox : public QListView {
    Q_OBJECT
public:
    struct Context {
        const LaunchParams* params = nullptr;  // the role flags and authorName
        CommentIndex* index = nullptr;
        CommentCopyBuffer* copyBuffer = nullptr;
        const AnnotSubjectTable* subjects = nullptr;
        std::string workingFolder;  // where old copies ("*.fdf") are cleared
        CommentListHost* host = nullptr;
    };
    // Runs a card menu at a screen point and gives the chosen command (0: none). Tests
    // replace it to see the items without a modal menu.
    using MenuRunner = std::function<int(widgets::CIconMenu& menu, const QPoint& at)>;

    CCommentListBox(Context context, QWidget* parent = nullptr);
    ~CCommentListBox() override;

    // Builds the cards again from the index in sortOrder under filter.
    void Refill(int sortOrder, const std::string& filter);
    // The selection rule for a click on (page, name); the changed cards repaint.
    void ApplySelection(int page, const std::string& name, bool multiSelect, bool keep);
    // The card of name shows label as its status; false when it has no card.
    bool SetStatusText(const std::string& name, const std::string& label);
    // The names of the selected cards, in list order.
    std::vector<std::string> SelectedNames() const;
    const std::string& CurrentName() const;
    int CurrentPage() const;

    CommentListItems& Items() const { return *items_; }
    // The rectangle of the card at row in the list's viewport.
    QRect CardRect(int row) const;
    void SetMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

    // The keys the list takes before they are dispatched; true when one was swallowed.
    bool HandleKey(const QKeyEvent& event);
    void CopyComment();
    void PasteComment();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OpenCardMenu(int row, const QPoint& globalPos);
    // The annotation's Author as the viewer holds it, found by name on page; false when
    // there is no such annotation.
    bool ReadAuthor(int page, const std::string& name, std::string& author) const;
    // Before a copy or paste message box the initiator's Ctrl is taken as released.
    void ClearMultiSelect();
    void Inform(const std::string& text);

    Context context_;
    CommentListItems* items_ = nullptr;
    CCommentCtrl* delegate_ = nullptr;
    MenuRunner menuRunner_;
};

}  // namespace quill::ui
