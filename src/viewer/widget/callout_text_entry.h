// CalloutTextEntry: the box the text of a new call-out is typed in, over the view.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QObject>
#include <QPointer>
#include <optional>

#include "viewer/engine/annot_draft.h"

class QPlainTextEdit;

namespace quill::widget {

class DrawSession;
class PdfViewerWidget;

// The box stands where the call-out will; Ctrl+Enter or a click elsewhere makes the comment,
// Escape drops it.
class CalloutTextEntry : public QObject {
    Q_OBJECT
public:
    // view: the widget the box opens on; it outlives the entry.
    explicit CalloutTextEntry(PdfViewerWidget& view);
    ~CalloutTextEntry() override;

    // The box being typed in; null when none is open.
    QPlainTextEdit* Editor() const;
    // Opens the box for the call-out the session drew (its line from the pressed target to
    // where the button was let go), in the control's text font.
    void Start(const DrawSession& session);
    // Makes the call-out of the text typed, its box fitted to the text; an empty text makes
    // nothing. Closes the box either way.
    void Commit();
    // Closes the box; nothing is made.
    void Cancel();
    // Keeps the box on its spot of the page after the view scrolled.
    void FollowView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Close();

    PdfViewerWidget& view_;
    QPointer<QPlainTextEdit> editor_;
    std::optional<engine::AnnotDraft> draft_;
};

}  // namespace quill::widget
