// DrawSession: the gesture of drawing one new comment with a tool (the points the user
// clicks or drags, a live preview) until it becomes an AnnotDraft.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QTransform>
#include <optional>
#include <string>
#include <vector>

#include "control/annot_tool.h"
#include "viewer/engine/annot_draft.h"

class QPainter;

namespace quill::widget {

class DrawSession {
public:
    enum class Step { Continue, Finish, Cancel };

    DrawSession(AnnotTool tool, int page, engine::AnnotStyle style);

    AnnotTool Tool() const { return tool_; }
    // The scale measurement comments are made and previewed in.
    void SetScale(const engine::MeasureScale& scale) { scale_ = scale; }
    // The measurement the comment would show now ("12.50 in"); empty for other tools.
    std::string MeasureText() const;
    int Page() const { return page_; }

    // Points in page space. `tolerance` is how far (in points) counts as "the same spot" at
    // the current zoom.
    void Press(engine::PointF p, double tolerance);
    void Move(engine::PointF p, bool buttonDown);
    Step Release(engine::PointF p, double tolerance);
    Step DoubleClick(engine::PointF p, double tolerance);
    // Enter finishes a vertex shape.
    Step FinishVertices();

    // Highlight and strike-out: the words chosen while dragging (one quad per word, reading
    // order); the widget fills them in from the page text.
    void SetTextQuads(std::vector<engine::Quad> quads) { quads_ = std::move(quads); }
    engine::PointF DragStart() const { return start_; }
    engine::PointF Current() const { return current_; }
    bool Dragging() const { return dragging_; }

    // The draft of the comment; nullopt when the gesture made nothing usable.
    std::optional<engine::AnnotDraft> Draft() const;

    // The preview of the comment as it would be made now.
    void PaintPreview(QPainter& painter, const QTransform& pageToDevice) const;

    // Highlight/strike-out: the words grouped into one quad per line.
    static std::vector<engine::Quad> MergeLines(const std::vector<engine::Quad>& words);
    // The words a text drag from `from` to `to` marks, as a reader would: from the word at
    // the start to the end of its line, the lines of the same column in between, and the
    // last line up to the word at the end. `reach` is how far (points) from a word a drag
    // may start. Empty when the drag starts and ends away from any text.
    static std::vector<engine::Quad> SelectWords(const std::vector<engine::Quad>& words,
                                                 engine::PointF from, engine::PointF to,
                                                 double reach);
    // The rectangle a drag (or a click, with a default size) covers.
    engine::RectF DragRect(double defaultSize) const;

    // Polygon-like tools take one click per vertex.
    bool IsVertexTool() const;

private:
    bool IsClosedShape() const;
    std::vector<engine::PointF> PreviewVertices() const;

    AnnotTool tool_;
    int page_;
    engine::AnnotStyle style_;
    engine::MeasureScale scale_;
    engine::PointF start_;
    engine::PointF current_;
    bool pressed_ = false;
    bool dragging_ = false;
    bool hasStart_ = false;
    bool cloudRect_ = false;
    std::vector<engine::PointF> vertices_;
    std::vector<engine::PointF> stroke_;
    std::vector<engine::Quad> quads_;
};

}  // namespace quill::widget
