#include "viewer/viewer_key_filter.h"
#include "viewer/viewer_names.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "viewer/pdf_viewer_dlg.h"

namespace quill::viewer {

ViewerKeyFilter::ViewerKeyFilter(CPdfViewerDlg* dialog) : QObject(dialog), dialog_(dialog) {}

bool ViewerKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    // A key event is offered to the focus widget and then to its parents, and the window
    // sees it first: take it once, where it is first delivered to a widget.
    if (!watched->isWidgetType()) return false;
    QWidget* focus = QApplication::focusWidget();
    auto* widget = static_cast<QWidget*>(watched);
    if (focus ? widget != focus : !widget->isWindow()) return false;
    // Keys of other windows (a message box, the comment list) are theirs.
    if (widget != dialog_ && !dialog_->isAncestorOf(widget)) return false;
    // A text editor (the call-out text) keeps its keys: Escape cancels the text, Ctrl+V pastes
    // text, never a comment.
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
        qobject_cast<QTextEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
        return false;
    return dialog_->PreTranslateKey(*static_cast<QKeyEvent*>(event));
}

}  // namespace quill::viewer
