// Selecting, moving, resizing, reshaping and deleting comments with the mouse and keys; the
// style window; the note text and its reply thread.
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "control/pdf_page.h"
#include "viewer/widget/annot_painter.h"
#include "viewer/widget/annot_properties_dialog.h"
#include "viewer/widget/comment_note_dialog.h"
#include "viewer_widget/widget_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::widget;

namespace widgettest {
namespace {

using engine::AnnotDraft;
using engine::RectF;

class EditTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        AnnotDraft s;
        s.tool = control::AnnotTool::Rectangle;
        s.page = 0;
        s.rect = {300, 300, 420, 380};
        s.style.width = 2;
        rect = E().CreateAnnot(s);
        AnnotDraft l;
        l.tool = control::AnnotTool::Line;
        l.page = 0;
        l.points = {{600, 300}, {760, 420}};
        l.style.width = 2;
        line = E().CreateAnnot(l);
        ASSERT_TRUE(rect && line);
        V().PageChanged(0);
        SetTool("Hand Tool");
    }
    QPoint Center(control::AnnotId id) {
        const auto r = E().GeometryOf(id).rect;
        return At(E().AnnotPageOf(id), (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
    }
    // Points the rectangle's left edge, where a click hits its border.
    QPoint RectEdge() { return At(0, 300, 340); }
    control::AnnotId rect = 0, line = 0;
};

TEST_F(EditTest, MoveResizeAndVertexEachFireOneModified) {
    const RectF before = E().GeometryOf(rect).box;
    Drag(RectEdge(), RectEdge() + QPoint(40, 20), 6, "edit-move-preview");
    EXPECT_EQ(events.log, std::vector<std::string>{"modified 0,0"});
    EXPECT_EQ(V().SelectedAnnot(), rect);
    const RectF moved = E().GeometryOf(rect).box;
    const double zoom = V().Zoom();
    EXPECT_NEAR(moved.x1 - before.x1, 40 / zoom, 1.5);
    EXPECT_NEAR(moved.y1 - before.y1, -20 / zoom, 1.5);
    events.log.clear();

    // The bottom-right handle (as shown) of the selected rectangle.
    const QPoint corner = At(0, moved.x2, moved.y1);
    Shot("edit-selected");
    Drag(corner, corner + QPoint(30, 30), 6, "edit-resize-preview");
    EXPECT_EQ(events.log, std::vector<std::string>{"modified 0,0"});
    const RectF resized = E().GeometryOf(rect).box;
    EXPECT_NEAR(resized.x2 - moved.x2, 30 / zoom, 1.5);
    EXPECT_NEAR(resized.y1 - moved.y1, -30 / zoom, 1.5);
    EXPECT_NEAR(resized.x1, moved.x1, 0.5);
    events.log.clear();

    // A line's end point.
    Click(Center(line));
    EXPECT_EQ(V().SelectedAnnot(), line);
    const QPoint end = At(0, 760, 420);
    Drag(end, end + QPoint(-25, 0), 6, "edit-vertex-preview");
    EXPECT_EQ(events.log, std::vector<std::string>{"modified 0,1"});
    const auto pts = E().GeometryOf(line).points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_NEAR(pts[1].x, 760 - 25 / zoom, 1.5);
    EXPECT_NEAR(pts[0].x, 600, 0.01);
}

TEST_F(EditTest, DragAwayAndBackChangesNothing) {
    QTest::mousePress(Port(), Qt::LeftButton, Qt::NoModifier, RectEdge());
    QTest::mouseMove(Port(), RectEdge() + QPoint(30, 30));
    QTest::mouseMove(Port(), RectEdge());
    QTest::mouseRelease(Port(), Qt::LeftButton, Qt::NoModifier, RectEdge());
    EXPECT_EQ(V().SelectedAnnot(), rect);
    EXPECT_TRUE(events.log.empty());
}

TEST_F(EditTest, HandCursorTellsWhatAPressDoesAndBlankPaperPans) {
    auto cursor = [this] { return Port()->cursor().shape(); };
    // Left of the rectangle, clear of both comments.
    const QPoint blank = RectEdge() - QPoint(60, 0);
    QTest::mouseMove(Port(), blank);
    EXPECT_EQ(cursor(), Qt::OpenHandCursor);
    QTest::mouseMove(Port(), RectEdge());
    EXPECT_EQ(cursor(), Qt::SizeAllCursor);
    Click(RectEdge());
    ASSERT_EQ(V().SelectedAnnot(), rect);
    const RectF box = E().GeometryOf(rect).box;
    QTest::mouseMove(Port(), At(0, box.x2, box.y1));
    EXPECT_EQ(cursor(), Qt::SizeFDiagCursor) << "a handle of the selected rectangle";
    E().SetReadOnly(line, true);
    QTest::mouseMove(Port(), Center(line));
    EXPECT_EQ(cursor(), Qt::ForbiddenCursor);

    // A drag on blank paper drops the selection and pulls the view along with the pointer.
    V().SetZoom(2.0, blank);
    WaitRendered();
    QScrollBar* h = V().horizontalScrollBar();
    QScrollBar* v = V().verticalScrollBar();
    const int h0 = h->value(), v0 = v->value();
    ASSERT_GE(h->maximum() - h0, 50);
    ASSERT_GE(v->maximum() - v0, 30);
    QTest::mousePress(Port(), Qt::LeftButton, Qt::NoModifier, blank);
    EXPECT_EQ(V().SelectedAnnot(), 0u);
    EXPECT_EQ(cursor(), Qt::ClosedHandCursor);
    QTest::mouseMove(Port(), blank + QPoint(-20, -10));
    QTest::mouseMove(Port(), blank + QPoint(-50, -30));
    QTest::mouseRelease(Port(), Qt::LeftButton, Qt::NoModifier, blank + QPoint(-50, -30));
    EXPECT_EQ(h->value(), h0 + 50);
    EXPECT_EQ(v->value(), v0 + 30);
    EXPECT_EQ(cursor(), Qt::OpenHandCursor);
    // The pan is over: moving on scrolls nothing.
    QTest::mouseMove(Port(), blank);
    EXPECT_EQ(h->value(), h0 + 50);
    EXPECT_TRUE(events.log.empty());
}

TEST_F(EditTest, DeleteKeyRemovesTheSelectedComment) {
    Click(Center(line));
    ASSERT_EQ(V().SelectedAnnot(), line);
    Key(Qt::Key_Delete);
    EXPECT_EQ(events.log, std::vector<std::string>{"deleted 0,1"});
    EXPECT_EQ(V().Control().GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(V().SelectedAnnot(), 0u);
    events.log.clear();
    Key(Qt::Key_Delete);  // nothing selected
    EXPECT_TRUE(events.log.empty());
}

TEST_F(EditTest, DragToAnotherPageIsDeletedThenModifiedThere) {
    // Show the bottom of page 0 and the top of page 1.
    const QRect p1 = V().Layout().PageRect(1);
    V().verticalScrollBar()->setValue(p1.top() - V().viewport()->height() / 2);
    WaitRendered();
    const auto r = E().GeometryOf(rect).rect;
    AnnotDraft s;
    s.tool = control::AnnotTool::Rectangle;
    s.page = 0;
    s.rect = {500, 60, 600, 110};  // near the bottom of page 0
    const control::AnnotId low = E().CreateAnnot(s);
    V().PageChanged(0);
    (void)r;
    const QPoint from = At(0, 500, 85);
    const QPoint to = from + QPoint(0, V().viewport()->height() / 4 + 60);
    ASSERT_EQ(V().PageAtViewport(to), 1);
    Drag(from, to, 10, "edit-page-move-preview");
    EXPECT_EQ(events.log, (std::vector<std::string>{"deleted 0,2", "modified 1,0"}));
    Shot("edit-page-move-done");
    EXPECT_EQ(E().AnnotPageOf(low), 1);
    // It landed where the pointer left it.
    const auto g = E().GeometryOf(low);
    const QPointF leftEdge = V().ToViewport(1, {g.box.x1, (g.box.y1 + g.box.y2) / 2});
    EXPECT_NEAR(leftEdge.x(), to.x(), 3);
    EXPECT_NEAR(leftEdge.y(), to.y(), 3);
}

TEST_F(EditTest, LockedCommentRefusesDragResizeAndDelete) {
    E().SetReadOnly(rect, true);
    const RectF before = E().GeometryOf(rect).rect;
    Drag(RectEdge(), RectEdge() + QPoint(50, 50));
    EXPECT_EQ(V().SelectedAnnot(), rect) << "a locked comment can still be selected";
    const QPoint corner = At(0, before.x2, before.y1);
    Drag(corner, corner + QPoint(30, 30));
    Key(Qt::Key_Delete);
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(E().GeometryOf(rect).rect, before);
    EXPECT_EQ(V().Control().GetPage(0).AnnotCount(), 2);
    // Neither its style nor its text can be changed in the windows.
    auto* props = V().OpenProperties(rect);
    ASSERT_NE(props, nullptr);
    props->SetColor(Qt::green);
    EXPECT_FALSE(props->Apply());
    props->close();
    auto* note = V().OpenNote(rect);
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->ContentsEdit()->isReadOnly());
    note->ContentsEdit()->setPlainText("changed");
    EXPECT_FALSE(note->SaveContents());
    EXPECT_TRUE(events.log.empty());
    // Answering a locked comment is what reviewers of other disciplines do.
    note->ReplyEdit()->setPlainText("Noted");
    EXPECT_NE(note->AddReply(), 0u);
    ASSERT_EQ(events.log.size(), 1u);
    EXPECT_EQ(events.log[0].rfind("reply added 0,0 ", 0), 0u);
    note->close();
}

TEST_F(EditTest, StyleWindowChangesColourWidthAndBorderInOneChange) {
    Click(RectEdge());
    auto* dlg = V().OpenProperties(V().SelectedAnnot());
    ASSERT_NE(dlg, nullptr);
    dlg->SetColor(QColor(0, 128, 255));
    dlg->WidthBox()->setValue(4);
    dlg->StyleBox()->setCurrentIndex(dlg->StyleBox()->findData(9));  // cloudy 2
    EXPECT_TRUE(dlg->Apply());
    EXPECT_EQ(events.log, std::vector<std::string>{"modified 0,0"});
    control::PdfAnnot a = V().Control().GetPage(0).GetAnnot(0);
    EXPECT_EQ(a.Color(), 0xFF8000);
    EXPECT_EQ(a.Thickness(), 4);
    EXPECT_EQ(a.BorderStyle(), 9);
    EXPECT_NE(ExportFdf().find("/S/C/I 2"), std::string::npos);
    events.log.clear();
    // Dashes: [4 3 16 3].
    dlg->StyleBox()->setCurrentIndex(dlg->StyleBox()->findData(6));
    EXPECT_TRUE(dlg->Apply());
    EXPECT_EQ(a.BorderStyle(), 6);
    EXPECT_FALSE(dlg->Apply()) << "nothing changed, no event";
    EXPECT_EQ(events.log.size(), 1u);
    dlg->close();
}

TEST_F(EditTest, NoteTextAndReplyThread) {
    // A double click opens the comment's note.
    DoubleClick(RectEdge());
    widget::CommentNoteDialog* note = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<widget::CommentNoteDialog*>(w); d && d->isVisible()) {
            note = d;
        }
    }
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->Annot(), rect);
    note->ContentsEdit()->setPlainText("Relocate the valve");
    QTest::mouseClick(note->findChild<QPushButton*>("SaveContents"), Qt::LeftButton);
    EXPECT_EQ(events.log, std::vector<std::string>{"modified 0,0"});
    EXPECT_EQ(V().Control().GetPage(0).GetAnnot(0).GetContents(), "Relocate the valve");
    events.log.clear();

    note->ReplyEdit()->setPlainText("Agreed, 300 mm east");
    QTest::mouseClick(note->findChild<QPushButton*>("AddReply"), Qt::LeftButton);
    control::PdfReplyList replies = V().Control().GetPage(0).GetAnnot(0).GetReplies();
    ASSERT_EQ(replies.ReplyCount(), 1);
    control::PdfReply reply = replies.GetReply(0);
    const std::string name = reply.GetName();
    EXPECT_EQ(reply.GetText(), "Agreed, 300 mm east");
    EXPECT_EQ(reply.GetAuthor(), "Tester-MECH");
    EXPECT_EQ(events.log, std::vector<std::string>{"reply added 0,0 " + name});
    EXPECT_EQ(note->ReplyTree()->topLevelItemCount(), 1);
    events.log.clear();

    note->SelectReply(reply.Id());
    note->ReplyEdit()->setPlainText("Agreed, 250 mm east");
    QTest::mouseClick(note->findChild<QPushButton*>("EditReply"), Qt::LeftButton);
    EXPECT_EQ(reply.GetText(), "Agreed, 250 mm east");
    EXPECT_EQ(events.log, std::vector<std::string>{"reply modified 0,0 " + name});
    events.log.clear();

    // A reply of someone else, locked, cannot be edited or deleted.
    const control::AnnotId other = E().AddReply(rect, "No", "Other-ELEC");
    control::PdfReply(&E(), other).SetReadOnly(true);
    note->Refresh();
    note->SelectReply(other);
    EXPECT_FALSE(note->findChild<QPushButton*>("DeleteReply")->isEnabled());
    EXPECT_FALSE(note->DeleteReply());
    EXPECT_TRUE(events.log.empty());

    note->SelectReply(reply.Id());
    QTest::mouseClick(note->findChild<QPushButton*>("DeleteReply"), Qt::LeftButton);
    EXPECT_EQ(events.log, std::vector<std::string>{"reply deleted 0,0 " + name});
    EXPECT_EQ(replies.ReplyCount(), 1);
    note->close();
}

}  // namespace
}  // namespace widgettest
