// EditController: what the mouse does to comments: select, move, resize, reshape, delete, pan.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <memory>
#include <vector>

#include "viewer/engine/engine_control.h"
#include "viewer/widget/mouse_mode.h"

class QPainter;

namespace quill::widget {

class DrawSession;
class PdfViewerWidget;

// It holds the hit tests and handles, and the one gesture under way (MouseMode) with the draw
// session it may carry: the widget's mouse handlers go by Mode().
class EditController : public QObject {
    Q_OBJECT
public:
    // view: the widget whose comments are edited; it outlives the controller.
    explicit EditController(PdfViewerWidget& view);
    ~EditController() override;

    MouseMode Mode() const { return mode_; }

    // ---- selection ----
    AnnotId Selected() const { return selected_; }
    void Select(AnnotId id);
    // Deletes the selected comment unless it is locked.
    void DeleteSelected();
    // Lets go of comments that no longer exist (a page of the model changed).
    void DropRemoved();
    // Lets go of every comment and drawing of a document that is replaced.
    void DropDocument();

    // ---- hit tests (viewport points) ----
    // How near counts as on a comment or a handle: a few pixels, in points.
    double Tolerance() const;
    // The topmost shown comment at page point p; 0 for none.
    AnnotId HitAnnot(int page, engine::PointF p, double tolerance) const;
    AnnotId HitAnnotAt(QPointF viewportPoint) const;
    // The selected comment's handle under the point (box handles 0-7 first, then its
    // vertices); -1 for none, and always for a locked comment.
    int HitHandle(QPointF viewportPoint) const;

    // ---- the hand tool ----
    // A press on a handle resizes or reshapes the selected comment, on a comment selects it
    // and moves it, on blank paper drops the selection and pans.
    void PressHand(QPointF pos);
    // The pointer moved during Pan, Move, Resize or Vertex.
    void DragTo(QPointF pos);
    // The button let go during Pan, Move, Resize or Vertex: a comment dragged changes once.
    void Release(QPointF pos);
    // Ends a Move, Resize or Vertex drag without changing the comment.
    void CancelDrag();
    // The cursor tells what a press at pos would do.
    void Hover(QPointF pos);

    // ---- the widget's own gestures ----
    // The comment being drawn (Draw, AwaitWords); null otherwise.
    DrawSession* Session() const { return session_.get(); }
    void StartDraw(std::unique_ptr<DrawSession> session);
    // The drawn text mark waits for its page's words.
    void AwaitWords();
    // Ends the drawing and hands its session over.
    std::unique_ptr<DrawSession> TakeSession();
    // Throws the drawing in progress away.
    void EndDraw();
    bool Calibrating() const { return mode_ == MouseMode::Calibrate; }
    void StartCalibration();
    void EndCalibration();

    // ---- painting ----
    // True for the comment being dragged: the preview shows it where the pointer has it.
    bool Hides(AnnotId id) const;
    // The selection's frame and handles, then the preview of a drag.
    void PaintOverlay(QPainter& p) const;

signals:
    void SelectionChanged(quint64 annot);

private:
    // A drag of the selected comment: its body, a box handle or a vertex.
    struct Drag {
        AnnotId id = 0;
        int page = -1;
        int handle = -1;  // box handle 0-7 or vertex index
        QPointF pressAt;  // viewport
        QPointF now;      // viewport
        bool moved = false;
        engine::AnnotGeometry geometry;
        engine::AnnotDrawing drawing;
    };

    bool Dragging() const;
    // Leaves the gesture in force for `mode`, dropping what belonged to it.
    void SetMode(MouseMode mode);
    void StartDrag(MouseMode mode, AnnotId id, int handle, QPointF pos);
    void Commit(MouseMode mode, const Drag& drag, QPointF pos);
    bool HasBoxHandles(AnnotId id) const;
    std::vector<QPointF> HandlesOf(AnnotId id) const;  // viewport points
    void PaintDragPreview(QPainter& p) const;

    PdfViewerWidget& view_;
    engine::EngineControl& engine_;
    MouseMode mode_ = MouseMode::None;
    AnnotId selected_ = 0;
    Drag drag_;                             // Move, Resize, Vertex
    QPoint panLast_;                        // Pan
    std::unique_ptr<DrawSession> session_;  // Draw, AwaitWords
};

}  // namespace quill::widget
