// Other reviewers' comments reach the viewer and the comment index: created, updated, answered
// and deleted through the bundled server; the comment copy buffer's keys.
#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

#include "control/pdf_viewer_control.h"
#include "sync/autosave_worker.h"
#include "viewer/viewer_dialog_host.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::sync;
using namespace quill::viewer;
using namespace quill::widget;

namespace dialogtest {
namespace {

using control::AnnotTool;

class RemoteComments : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        drawing = MakeDrawing(dir, 2);
        ASSERT_TRUE(server.AddDocument("drawing.pdf", testsupport::ReadFileBytes(drawing)));
        other = std::make_unique<OtherReviewer>(server, drawing, "LEE", "LEE-ELECTRICAL");
        t = std::make_unique<DialogUnderTest>(ReviewerParams(server, "KIM", "PIPING", "drawing"));
        ASSERT_TRUE(t->dialog->OnInitDialog());
    }
    void TearDown() override {
        t.reset();
        other.reset();
    }

    control::PdfViewerControl& Control() { return t->dialog->Control(); }
    control::PdfAnnot Mine(int page, const std::string& name) {
        control::PdfPage p = Control().GetPage(page);
        for (int i = 0; i < p.AnnotCount(); ++i)
            if (p.GetAnnot(i).GetName() == name) return p.GetAnnot(i);
        return {};
    }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    PromptRecorder prompts;
    std::unique_ptr<OtherReviewer> other;
    std::unique_ptr<DialogUnderTest> t;
};

TEST_F(RemoteComments, CreatedUpdatedAnsweredAndDeletedCommentsLandInViewerAndIndex) {
    const int rect = other->Draw(AnnotTool::Rectangle, 1);
    other->Draw(AnnotTool::Cloudy, 1);
    const std::string name = other->control().GetPage(1).GetAnnot(rect).GetName();
    ASSERT_GT(other->Publish(), 0);

    // Created: the reload brings both comments, hidden until shown, locked for another
    // discipline.
    t->dialog->ReloadComments();
    ASSERT_EQ(Control().GetPage(1).AnnotCount(), 2);
    control::PdfAnnot annot = Mine(1, name);
    ASSERT_TRUE(annot.IsValid());
    EXPECT_FALSE(annot.IsShown());
    EXPECT_TRUE(annot.ReadOnly());
    t->dialog->ShowComments(true);
    EXPECT_TRUE(annot.IsShown());
    ASSERT_EQ(t->index.count(name), 1u);
    CommentEntry entry = t->index[name];
    EXPECT_EQ(entry.author, "LEE-ELECTRICAL");
    EXPECT_EQ(entry.pageIndex, 1);
    EXPECT_EQ(entry.annotIndex, annot.Index());
    EXPECT_EQ(entry.subject, annot.Subject());
    ASSERT_NE(entry.record, nullptr);
    EXPECT_EQ(entry.record->uniqueName, name);
    EXPECT_EQ(entry.date.size(), 19u);
    EXPECT_EQ(t->pending.deletes.at(name), 0);
    EXPECT_TRUE(t->pending.creates.empty());

    // Updated.
    other->control().GetPage(1).GetAnnot(rect).SetContents("Valve moved 200 mm east");
    ASSERT_EQ(other->worker().AutoSaveAnnot(1, rect, kActionUpdate), 1);
    ASSERT_GT(other->Publish(), 0);
    ASSERT_GT(t->dialog->Worker()->GetLastestRevisions(), 0);
    ASSERT_EQ(Control().GetPage(1).AnnotCount(), 2);
    EXPECT_EQ(Mine(1, name).GetContents(), "Valve moved 200 mm east");
    EXPECT_EQ(t->index[name].contents, "Valve moved 200 mm east");
    EXPECT_EQ(t->index[name].annotIndex, Mine(1, name).Index());

    // Answered: the reply comes with the comment, another reviewer's reply is read-only.
    const control::AnnotId parent = other->control().AnnotsOnPage(1).at(static_cast<size_t>(rect));
    const control::AnnotId reply = other->control().AddReply(parent, "Agreed.", "LEE-ELECTRICAL");
    ASSERT_NE(reply, 0u);
    other->worker().AutoSaveReply(1, rect, kActionCreate, "");
    ASSERT_GT(other->Publish(), 0);
    ASSERT_GT(t->dialog->Worker()->GetLastestRevisions(), 0);
    annot = Mine(1, name);
    ASSERT_EQ(annot.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(annot.GetReplies().GetReply(0).GetText(), "Agreed.");
    EXPECT_TRUE(annot.GetReplies().GetReply(0).ReadOnly());
    EXPECT_EQ(t->index[name].replyCount, 1);
    EXPECT_EQ(t->index[name].annotIndex, annot.Index());

    // Deleted.
    control::PdfPage page = other->control().GetPage(1);
    const int at = other->control().AnnotIndexOf(parent);
    ASSERT_TRUE(page.RemoveAnnot(page.GetAnnot(at)));
    other->worker().QueueDeleteComment(1, at);
    ASSERT_GT(other->Publish(), 0);
    ASSERT_GT(t->dialog->Worker()->GetLastestRevisions(), 0);
    EXPECT_EQ(Control().GetPage(1).AnnotCount(), 1);
    EXPECT_FALSE(Mine(1, name).IsValid());
    EXPECT_EQ(t->index.count(name), 0u);
    EXPECT_EQ(t->index.size(), 1u);
    EXPECT_TRUE(prompts->entries().empty());
}

TEST_F(RemoteComments, SecondReloadBringsEveryCommentBackOnce) {
    other->Draw(AnnotTool::Line, 0);
    ASSERT_GT(other->Publish(), 0);
    t->dialog->ReloadComments();
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 1);
    const std::string name = Control().GetPage(0).GetAnnot(0).GetName();
    t->index[name].feedbackStatus = kFeedbackApply;

    t->dialog->ReloadComments();
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(Control().GetPage(0).GetAnnot(0).GetName(), name);
    ASSERT_EQ(t->index.size(), 1u);
    EXPECT_EQ(t->index[name].feedbackStatus, kFeedbackApply);
    EXPECT_NE(t->index[name].record, nullptr);
}

TEST_F(RemoteComments, AFailedFetchOnReloadKeepsEveryEntryAndItsReviewState) {
    other->Draw(AnnotTool::Line, 0);
    other->Draw(AnnotTool::Cloudy, 1);
    ASSERT_GT(other->Publish(), 0);
    t->dialog->ReloadComments();
    ASSERT_EQ(t->index.size(), 2u);
    const std::string name = Control().GetPage(0).GetAnnot(0).GetName();
    t->index[name].feedbackStatus = kFeedbackApply;

    for (const char* fault : {"status:/Comm/fileAttachlist.do:500@1", "drop:/Comm/update.do@1"}) {
        ASSERT_TRUE(server.AddFault(fault));
        t->dialog->ReloadComments();
        EXPECT_EQ(t->index.size(), 2u) << fault;
        EXPECT_EQ(t->index[name].feedbackStatus, kFeedbackApply) << fault;
    }
    // The next good reload links the entries to their comments again.
    t->dialog->ReloadComments();
    ASSERT_EQ(t->index.size(), 2u);
    EXPECT_NE(t->index[name].record, nullptr);
    EXPECT_EQ(t->index[name].feedbackStatus, kFeedbackApply);
}

TEST_F(RemoteComments, SeveralDeletionsOnOnePageInOneMergeLeaveNoEntryBehind) {
    for (AnnotTool tool : {AnnotTool::Rectangle, AnnotTool::Line, AnnotTool::Cloudy})
        other->Draw(tool, 0);
    ASSERT_GT(other->Publish(), 0);
    t->dialog->ReloadComments();
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 3);
    const std::string kept = other->control().GetPage(0).GetAnnot(2).GetName();

    // The first two go in one revision: the second one's index moves down while merging.
    for (int i = 0; i < 2; ++i) {
        control::PdfPage page = other->control().GetPage(0);
        ASSERT_TRUE(page.RemoveAnnot(page.GetAnnot(0)));
        other->worker().QueueDeleteComment(0, 0);
    }
    ASSERT_GT(other->Publish(), 0);
    ASSERT_GT(t->dialog->Worker()->GetLastestRevisions(), 0);
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 1);
    EXPECT_EQ(Control().GetPage(0).GetAnnot(0).GetName(), kept);
    ASSERT_EQ(t->index.size(), 1u);
    EXPECT_EQ(t->index.begin()->first, kept);
}

QKeyEvent Key(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return QKeyEvent(type, key, mods);
}

TEST_F(RemoteComments, PasteOfTheCopiedCommentRegistersANewCommentAndClearsTheBuffer) {
    other->Draw(AnnotTool::Rectangle, 0);
    ASSERT_GT(other->Publish(), 0);
    t->dialog->ReloadComments();
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 1);
    const std::string source = Control().GetPage(0).GetAnnot(0).GetName();

    // Nothing copied: Ctrl+V does nothing.
    EXPECT_FALSE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier)));
    EXPECT_EQ(Control().GetPage(0).AnnotCount(), 1);

    t->copy.name = source;
    t->copy.page = 0;
    t->copy.annotIndex = 0;
    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier)));
    ASSERT_EQ(Control().GetPage(0).AnnotCount(), 2);
    const std::string copy = Control().GetPage(0).GetAnnot(1).GetName();
    EXPECT_NE(copy, source);
    EXPECT_FALSE(t->copy.HoldsComment());
    EXPECT_EQ(t->index.count(copy), 1u);
    EXPECT_EQ(t->pending.creates.count(copy), 1u);
    EXPECT_EQ(t->pending.deletes.at(copy), 0);
}

TEST_F(RemoteComments, KeysOfTheHookConsumeOrPassAsTheControlNeeds) {
    t->copy.name = "X";
    t->copy.fdfFile = "copy.fdf";
    EXPECT_FALSE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_Delete)));
    EXPECT_FALSE(t->copy.HoldsComment());
    EXPECT_EQ(t->copy.fdfFile, "copy.fdf");

    t->copy.name = "X";
    EXPECT_FALSE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier)));
    EXPECT_FALSE(t->copy.HoldsComment());
    EXPECT_TRUE(t->copy.fdfFile.empty());

    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_F1)));
    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_F4)));
    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_Escape)));
    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_Control)));
    EXPECT_TRUE(t->dialog->PreTranslateKey(Key(QEvent::KeyRelease, Qt::Key_Control)));
    EXPECT_FALSE(t->dialog->PreTranslateKey(Key(QEvent::KeyPress, Qt::Key_A)));
}

struct HostRecorder : ViewerDialogHost {
    void SetMultiSelect(bool on) override { multiSelect = on; }
    void SelectHandTool() override { ++handTool; }
    bool multiSelect = false;
    int handTool = 0;
};

TEST(ViewerKeyHook, KeysForTheViewerReachTheDialogFirstKeysOfOtherWindowsDoNot) {
    EnsureApp();
    testsupport::ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();
    testsupport::TempDir dir;
    ASSERT_TRUE(server.AddDocument("drawing.pdf", testsupport::ReadFileBytes(MakeDrawing(dir, 1))));
    PromptRecorder prompts;
    LaunchParams params = ReviewerParams(server, "KIM", "PIPING", "drawing");
    params.isOpener = true;
    HostRecorder host;
    DialogUnderTest t(params, &host);
    ASSERT_TRUE(t.dialog->OnInitDialog());
    t.dialog->resize(600, 400);
    t.dialog->show();
    QApplication::setActiveWindow(t.dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(t.dialog.get()));
    t.dialog->Viewer()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), t.dialog->Viewer());

    QTest::keyPress(t.dialog->Viewer(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(host.multiSelect);
    QTest::keyRelease(t.dialog->Viewer(), Qt::Key_Control);
    EXPECT_FALSE(host.multiSelect);
    QTest::keyClick(t.dialog->Viewer(), Qt::Key_Escape);
    EXPECT_EQ(host.handTool, 1);

    // The call-out's text editor keeps its keys: Ctrl+V pastes no comment, Escape drops the text
    // instead of choosing the hand tool.
    t.copy.name = "X";
    t.copy.page = 0;
    t.copy.annotIndex = 0;
    t.dialog->Control().SetCurrentTool("CallOut");
    QWidget* view = t.dialog->Viewer()->viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(view, QPoint(260, 200));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(260, 200));
    QPlainTextEdit* editor = t.dialog->Viewer()->CalloutEditor();
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    QTest::keyClicks(editor, "Check weld");
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t.dialog->Control().GetPage(0).AnnotCount(), 0);
    EXPECT_TRUE(t.copy.HoldsComment());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(t.dialog->Viewer()->CalloutEditor(), nullptr);
    EXPECT_EQ(host.handTool, 1);
    EXPECT_EQ(t.dialog->Control().GetPage(0).AnnotCount(), 0);

    // Another window's keys are its own.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    other.setFocus();
    QApplication::processEvents();
    QTest::keyClick(&other, Qt::Key_Escape);
    EXPECT_EQ(host.handTool, 1);
}

}  // namespace
}  // namespace dialogtest
