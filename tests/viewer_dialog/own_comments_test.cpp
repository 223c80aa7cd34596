// The reviewer's own comments drawn with the mouse in the dialog: styled from the registry,
// queued, moved and deleted in the order the control fired, answered in the note window, and
// seen by another participant once published.
#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "platform/code_page.h"
#include "platform/registry_store.h"
#include "session/comment_event_handler.h"
#include "session/tool_settings.h"
#include "viewer/viewer_dialog_host.h"
#include "viewer/widget/comment_note_dialog.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer_dialog/dialog_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::viewer;

namespace dialogtest {
namespace {

// The main window's side of a deleted comment, with the pending table of the dialog's test.
struct PendingHost : ViewerDialogHost {
    void CommentDeleted(const std::string& name) override {
        deleted.push_back(name);
        if (pending) pending->SetDelete(name, 1);
    }
    void RefillCommentList() override { ++refills; }
    PendingDetails* pending = nullptr;
    std::vector<std::string> deleted;
    int refills = 0;
};

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class OwnComments : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        drawing = MakeDrawing(dir, 2);
        ASSERT_TRUE(server.AddDocument("drawing.pdf", testsupport::ReadFileBytes(drawing)));
        registryRoot = (dir / "registry").string();
    }

    std::unique_ptr<DialogUnderTest> Open(const std::string& user, const std::string& discipline,
                                          bool opener = false, PendingHost* host = nullptr,
                                          uint32_t color = 0x0000FF /* red */) {
        LaunchParams params = ReviewerParams(server, user, discipline, "drawing");
        params.COMMENTCOLOR = color;
        params.isOpener = opener;
        auto t = std::make_unique<DialogUnderTest>(params, host, registryRoot);
        if (host) host->pending = &t->pending;
        EXPECT_TRUE(t->dialog->OnInitDialog());
        return t;
    }
    void Show(DialogUnderTest& t) {
        t.dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(t.dialog.get()));
        ASSERT_TRUE(WaitFor([&] { return t.dialog->Viewer()->VisibleTilesReady(); }));
    }
    QPoint AtFrac(DialogUnderTest& t, int page, double fx, double fy) {
        const auto c = t.dialog->Viewer()->Engine().PageGeometryOf(page).cropBox;
        return t.dialog->Viewer()
            ->ToViewport(page, {c.x1 + fx * c.Width(), c.y1 + fy * c.Height()})
            .toPoint();
    }
    void Drag(DialogUnderTest& t, QPoint from, QPoint to) {
        QWidget* port = t.dialog->Viewer()->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, from);
        for (int i = 1; i <= 6; ++i) QTest::mouseMove(port, from + (to - from) * i / 6);
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, to);
    }
    // Draws the tool's shape by dragging across page 0; the new comment.
    control::PdfAnnot DrawByMouse(DialogUnderTest& t, const char* tool, double y) {
        t.dialog->Control().SetCurrentTool(tool);
        const int before = t.dialog->Control().GetPage(0).AnnotCount();
        Drag(t, AtFrac(t, 0, 0.3, y), AtFrac(t, 0, 0.45, y - 0.08));
        EXPECT_EQ(t.dialog->Control().GetPage(0).AnnotCount(), before + 1) << tool;
        return t.dialog->Control().GetPage(0).GetAnnot(before);
    }
    bool Drained(DialogUnderTest& t) {
        t.dialog->Worker()->WakeUp();
        return WaitFor([&] { return !t.dialog->Worker()->Busy(); });
    }
    int Publish(const std::string& user) {
        auto reply = server.Get("/Comm/publish.do?userid=" + user + "&docid=" + kDocId);
        return reply.status == 200 ? std::atoi(reply.body.c_str()) : -1;
    }
    control::PdfAnnot Find(DialogUnderTest& t, int page, const std::string& name) {
        control::PdfPage p = t.dialog->Control().GetPage(page);
        for (int i = 0; i < p.AnnotCount(); ++i)
            if (p.GetAnnot(i).GetName() == name) return p.GetAnnot(i);
        return {};
    }
    control::AnnotId IdOf(DialogUnderTest& t, const control::PdfAnnot& annot) {
        return t.dialog->Viewer()
            ->Engine()
            .AnnotsOnPage(annot.PageIndex())
            .at(static_cast<size_t>(annot.Index()));
    }

    testsupport::ReviewServerProcess server;
    testsupport::TempDir dir;
    std::string drawing;
    std::string registryRoot;
    PromptRecorder prompts;
};

TEST_F(OwnComments, ACloudDrawnOnAFreshRegistryTakesTheDefaultsAndReachesOthersWhenPublished) {
    auto t = Open("KIM", "PIPING");
    platform::RegistryStore store(registryRoot);
    for (const char* tool :
         {"CLOUDY", "ARROW", "LINE", "RECTANGLE", "CIRCLE", "POLYGON", "POLYLINE", "PENCIL"}) {
        EXPECT_EQ(store.ReadValue(session::ToolSettings::ToolKeyPath(tool), "Thickness"), "1")
            << tool;
    }
    Show(*t);
    control::PdfAnnot cloud = DrawByMouse(*t, "Cloudy Tool", 0.8);
    ASSERT_EQ(cloud.GetToolName(), "Cloudy");
    const std::string name = cloud.GetName();
    EXPECT_EQ(cloud.Author(), "KIM-PIPING");
    EXPECT_EQ(cloud.Color(), 0x0000FF);
    EXPECT_EQ(cloud.Thickness(), 1);
    EXPECT_EQ(cloud.BorderStyle(), 9);
    EXPECT_EQ(t->index.count(name), 1u);
    EXPECT_EQ(t->pending.creates.count(name), 1u);
    ASSERT_TRUE(Drained(*t));

    // Another participant sees nothing of it until it is published.
    auto other = Open("LEE", "ELECTRICAL");
    other->dialog->ReloadComments();
    EXPECT_EQ(other->dialog->Control().GetPage(0).AnnotCount(), 0);
    ASSERT_GT(Publish("KIM"), 0);
    other->dialog->ReloadComments();
    control::PdfAnnot seen = Find(*other, 0, name);
    ASSERT_TRUE(seen.IsValid());
    EXPECT_EQ(seen.Author(), "KIM-PIPING");
    EXPECT_EQ(seen.BorderStyle(), 9);
    EXPECT_TRUE(prompts->entries().empty());
}

TEST_F(OwnComments, ARectanglesChangedStyleIsTakenByTheNextRectangleAlsoInTheNextDialog) {
    {
        auto t = Open("KIM", "PIPING");
        Show(*t);
        control::PdfAnnot first = DrawByMouse(*t, "Rectangle Tool", 0.8);
        ASSERT_TRUE(t->dialog->Viewer()->Engine().UserChangeAnnot(IdOf(*t, first),
                                                                  [](control::PdfAnnot& a) {
                                                                      a.SetThickness(2);
                                                                      a.SetBorderStyle(3);
                                                                  }));
        platform::RegistryStore store(registryRoot);
        const std::string key = session::ToolSettings::ToolKeyPath("RECTANGLE");
        EXPECT_EQ(store.ReadValue(key, "Thickness"), "2");
        EXPECT_EQ(store.ReadValue(key, "BorderStyle"), "3");
        control::PdfAnnot second = DrawByMouse(*t, "Rectangle Tool", 0.6);
        EXPECT_EQ(second.Thickness(), 2);
        EXPECT_EQ(second.BorderStyle(), 3);
        ASSERT_TRUE(Drained(*t));
    }
    auto next = Open("KIM", "PIPING");
    Show(*next);
    EXPECT_EQ(next->dialog->Tools()->Value("RECTANGLE", "Thickness"), "2");
    control::PdfAnnot third = DrawByMouse(*next, "Rectangle Tool", 0.4);
    EXPECT_EQ(third.Thickness(), 2);
    EXPECT_EQ(third.BorderStyle(), 3);
}

int RedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 100 && c.blue() < 100) ++count;
        }
    }
    return count;
}

TEST_F(OwnComments, AMeasurementAndACallOutDrawnWithTheDefaultsKeepAVisibleLine) {
    auto t = Open("KIM", "PIPING");
    Show(*t);
    QWidget* port = t->dialog->Viewer()->viewport();
    auto render = [&] {
        EXPECT_TRUE(WaitFor([&] { return t->dialog->Viewer()->VisibleTilesReady(); }));
        QApplication::processEvents();
        return port->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const int blank = RedPixels(render());

    control::PdfAnnot distance = DrawByMouse(*t, "Distance Tool", 0.8);
    EXPECT_GE(distance.Thickness(), 1);
    const int withDistance = RedPixels(render());
    EXPECT_GT(withDistance, blank + 40);

    t->dialog->Control().SetCurrentTool("CallOut");
    Drag(*t, AtFrac(*t, 0, 0.3, 0.5), AtFrac(*t, 0, 0.5, 0.4));
    QPlainTextEdit* editor = t->dialog->Viewer()->CalloutEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Check weld");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(t->dialog->Control().GetPage(0).AnnotCount(), 2);
    control::PdfAnnot callout = t->dialog->Control().GetPage(0).GetAnnot(1);
    EXPECT_EQ(callout.GetToolName(), "Callout");
    EXPECT_GE(callout.Thickness(), 1);
    EXPECT_GT(RedPixels(render()), withDistance + 40);
    EXPECT_EQ(t->index.size(), 2u);
}

TEST_F(OwnComments, AMoveToAnotherPageKeepsItsOwnerAndItsDetailAndReachesOthersOnTheNewPage) {
    OtherReviewer lee(server, drawing, "LEE", "LEE-ELECTRICAL");
    const int at = lee.Draw(AnnotTool::Rectangle, 0);
    const std::string name = lee.control().GetPage(0).GetAnnot(at).GetName();
    ASSERT_GT(lee.Publish(), 0);

    PendingHost host;
    auto t = Open("KIM", "PIPING", true, &host, 0x00FF00);
    t->dialog->ReloadComments();
    t->dialog->ShowComments(true);
    control::PdfAnnot annot = Find(*t, 0, name);
    ASSERT_TRUE(annot.IsValid());
    const int32_t color = annot.Color();
    ASSERT_NE(color, 0x00FF00);
    ASSERT_TRUE(t->dialog->Viewer()->Engine().UserMoveAnnotToPage(IdOf(*t, annot), 1, 0, 0));
    // Both the deletion and the move wait for the event loop, in the order they were fired.
    EXPECT_TRUE(host.deleted.empty());
    QApplication::processEvents();
    EXPECT_EQ(host.deleted, std::vector<std::string>{name});
    EXPECT_EQ(t->pending.deletes.at(name), 0) << "the moved comment's detail would be deleted";
    control::PdfAnnot moved = Find(*t, 1, name);
    ASSERT_TRUE(moved.IsValid());
    EXPECT_EQ(moved.Author(), "LEE-ELECTRICAL");
    EXPECT_EQ(moved.Color(), color);
    ASSERT_EQ(t->index.count(name), 1u);
    EXPECT_EQ(t->index[name].pageIndex, 1);
    ASSERT_TRUE(Drained(*t));
    ASSERT_GT(Publish("KIM"), 0);

    auto park = Open("PARK", "STRUCTURE");
    park->dialog->ReloadComments();
    EXPECT_FALSE(Find(*park, 0, name).IsValid());
    control::PdfAnnot there = Find(*park, 1, name);
    ASSERT_TRUE(there.IsValid());
    EXPECT_EQ(there.Author(), "LEE-ELECTRICAL");
    EXPECT_TRUE(prompts->entries().empty());
}

TEST_F(OwnComments, TheListsDeleteRequestIsHandledAfterTheCurrentEvent) {
    OtherReviewer lee(server, drawing, "LEE", "LEE-ELECTRICAL");
    const int at = lee.Draw(AnnotTool::Line, 0);
    const std::string theirs = lee.control().GetPage(0).GetAnnot(at).GetName();
    ASSERT_GT(lee.Publish(), 0);
    PendingHost host;
    auto t = Open("KIM", "PIPING", false, &host);
    t->dialog->ReloadComments();
    Show(*t);
    const std::string mine = DrawByMouse(*t, "Rectangle Tool", 0.5).GetName();

    t->dialog->RequestDeleteComment(0, theirs);
    EXPECT_TRUE(prompts->entries().empty());
    QApplication::processEvents();
    ASSERT_EQ(prompts->entries().size(), 1u);
    EXPECT_EQ(prompts->entries()[0].kind, platform::PromptKind::Plain);
    EXPECT_TRUE(Find(*t, 0, theirs).IsValid());

    auto yes = std::make_unique<platform::ScriptedPrompter>(
        std::vector<platform::PromptAnswer>{platform::PromptAnswer::Yes});
    platform::ScriptedPrompter* answered = yes.get();
    platform::InstallPrompter(std::move(yes));
    t->dialog->RequestDeleteComment(0, mine);
    EXPECT_TRUE(Find(*t, 0, mine).IsValid());
    QApplication::processEvents();
    // The deletion the request made is posted in its turn.
    EXPECT_TRUE(host.deleted.empty());
    QApplication::processEvents();
    ASSERT_EQ(answered->entries().size(), 1u);
    EXPECT_EQ(answered->entries()[0].text, "Do you want to delete the comment(s)?");
    EXPECT_FALSE(Find(*t, 0, mine).IsValid());
    EXPECT_EQ(t->index.count(mine), 0u);
    EXPECT_EQ(host.deleted, std::vector<std::string>{mine});
    EXPECT_EQ(t->pending.deletes.at(mine), 1);
}

TEST_F(OwnComments, AReplyWrittenInTheNoteWindowIsTheReviewersAndReachesOthers) {
    const std::string requestLog = (dir / "request.log").string();
    app::ConfigureLogs("", requestLog);
    auto t = Open("KIM", "PIPING");
    Show(*t);
    control::PdfAnnot rect = DrawByMouse(*t, "Rectangle Tool", 0.8);
    const std::string comment = rect.GetName();
    widget::CommentNoteDialog* note = t->dialog->Viewer()->OpenNote(IdOf(*t, rect));
    ASSERT_NE(note, nullptr);
    note->ReplyEdit()->setPlainText(QString::fromUtf8("확인"));
    QTest::mouseClick(note->findChild<QPushButton*>("AddReply"), Qt::LeftButton);
    note->close();
    ASSERT_EQ(rect.GetReplies().ReplyCount(), 1);
    control::PdfReply reply = rect.GetReplies().GetReply(0);
    EXPECT_EQ(reply.GetAuthor(), "KIM-PIPING");
    const std::string text = platform::Utf8ToAnsi("확인");
    EXPECT_EQ(reply.GetText(), text);
    std::ifstream in(requestLog, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(log.find(reply.GetName() + ", REPLY=C," + comment + ",0,0," + text),
              std::string::npos)
        << log;
    app::ConfigureLogs("", "");
    ASSERT_TRUE(Drained(*t));
    ASSERT_GT(Publish("KIM"), 0);

    auto other = Open("LEE", "ELECTRICAL");
    other->dialog->ReloadComments();
    control::PdfAnnot seen = Find(*other, 0, comment);
    ASSERT_TRUE(seen.IsValid());
    ASSERT_EQ(seen.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(seen.GetReplies().GetReply(0).GetAuthor(), "KIM-PIPING");
    EXPECT_EQ(seen.GetReplies().GetReply(0).GetText(), text);
}

}  // namespace
}  // namespace dialogtest
