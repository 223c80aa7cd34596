// The main window against the bundled server: start, indicator, busy steps, keys, layout and
// closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/logs.h"
#include "main_window/demo_window_fixture.h"
#include "main_window/test_window_context.h"
#include "platform/code_page.h"
#include "session/comment_goto.h"
#include "session/main_window_layout.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "ui/gather_tab_dlg.h"
#include "ui/main_window_title.h"
#include "ui/quillmark_dlg.h"
#include "ui/sr_list_box.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer_dialog/dialog_fixture.h"
#include "widgets/hover_button.h"

using namespace quill;
using namespace quill::session;
using namespace quill::ui;
using namespace dialogtest;
using namespace std::chrono_literals;

namespace {

// A main window of one reviewer on the seeded demo review.
class MainWindow : public windowtest::DemoWindowFixture {
protected:
    template <typename Pred>
    bool Until(Pred pred, int ms = 10000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (pred()) return true;
            QTest::qWait(20);
        }
        return pred();
    }
    int Count(const std::string& text) {
        int n = 0;
        for (const auto& e : prompts->entries()) n += e.text == text;
        return n;
    }
};

TEST(MainWindowTitle, NamesDisciplineUserAndIdInTheSystemCodePage) {
    EnsureApp();
    platform::SetSystemCodePageForTesting("CP949");
    LaunchParams p;
    ParseLaunchParams("SITEUSENM=\xb9\xe8\xb0\xfc&USERKNM=Kim&USERID=k1", p);  // "배관"
    EXPECT_EQ(MainWindowTitle(p), QString::fromUtf8("Ostrel Lumaro  배관 - Kim(k1)"));
    platform::SetSystemCodePageForTesting("");
}

TEST_F(MainWindow, StartsOnceLoadsTheCommentsAndKeepsTheIndicatorDark) {
    Open();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(window->ViewerReady());
    EXPECT_FALSE(index.empty());
    // The load took in every revision: a poll finds nothing new.
    QTest::qWait(400);
    EXPECT_EQ(window->NewCommentCount(), 0);
    EXPECT_TRUE(window->Button(kButtonHand)->isVisible());

    // Minimise and restore: nothing is loaded again.
    window->showMinimized();
    QTest::qWait(50);
    window->showNormal();
    QTest::qWait(800);
    EXPECT_EQ(window->StartRuns(), 1);
    EXPECT_TRUE(prompts->entries().empty());

    // The window's first request record, written once.
    std::ifstream in((folder / "request.log").string(), std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    const std::string text = log.str();
    const size_t open = text.find("]Open, debug");
    EXPECT_NE(open, std::string::npos);
    EXPECT_EQ(text.find("]Open, ", open + 1), std::string::npos);
}

TEST_F(MainWindow, OthersPublishLightsTheIndicatorAndTheCheckTakesItIn) {
    Open();
    ASSERT_TRUE(Start());
    OtherReviewer other(server, MakeDrawing(folder, 4), "elec1", "elec1-ELECTRICAL");
    other.Draw(control::AnnotTool::Cloudy, 0);
    ASSERT_GT(other.Publish(), 0);
    ASSERT_TRUE(Until([&] { return window->NewCommentCount() > 0; }));

    const size_t before = index.size();
    window->PressButton(kButtonCheck);
    EXPECT_EQ(window->NewCommentCount(), 0);
    EXPECT_EQ(index.size(), before + 1);
    EXPECT_FALSE(window->Busy());
    QTest::qWait(400);
    EXPECT_EQ(window->NewCommentCount(), 0);
}

TEST_F(MainWindow, WorkflowClicksAndClosingAreRefusedWhileABusyStepRuns) {
    Open();
    ASSERT_TRUE(Start());
    // The check keeps its spinner up for a second, pumping events: a publish click and a
    // close request that arrive meanwhile are refused.
    bool closed = true;
    QTimer::singleShot(200, window.get(), [&] {
        EXPECT_TRUE(window->Busy());
        window->PressButton(kButtonPublish);
        closed = window->close();
    });
    window->PressButton(kButtonCheck);
    EXPECT_FALSE(closed);
    EXPECT_EQ(Count("Comments are published."), 0);
    window->PressButton(kButtonPublish);
    EXPECT_EQ(Count("Comments are published."), 1);
    EXPECT_FALSE(window->Busy());
    // The reader's view stays where it was: the viewer was hidden, never shrunk.
    EXPECT_GT(window->ViewerDialog()->width(), 0);
    EXPECT_TRUE(window->ViewerDialog()->isVisible());
}

TEST_F(MainWindow, ClosingWithNothingUnpublishedAsksNothingAndADeadServerNeverEndsTheClient) {
    Open();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(server.AddFault("drop:/Comm/revision.do@*"));
    QTest::qWait(500);
    EXPECT_FALSE(terminated);
    ASSERT_TRUE(server.ClearFaults());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompts->entries().empty());
}

TEST_F(MainWindow, AClosedReviewEndsTheClientWithItsMessage) {
    Open();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(server.AddFault("garbage:/Comm/revision.do@*"));
    ASSERT_TRUE(Until([&] { return terminated; }));
    EXPECT_EQ(Count("Network error.\nThis Squad Check is closed."), 1);
}

TEST_F(MainWindow, ClosingWhileAPollHangsReturnsWithinTheBound) {
    Open();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(server.AddFault("delay:/Comm/revision.do:30000@*"));
    QTest::qWait(300);
    const auto before = std::chrono::steady_clock::now();
    window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
}

TEST_F(MainWindow, KeysGoWhereTheReviewerMeansThem) {
    params.isOpener = true;
    Open();
    ASSERT_TRUE(Start());
    window->PressButton(kButtonNote);
    EXPECT_EQ(window->CurrentTool(), kToolNote);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(window->CurrentTool(), kToolHand);

    // Enter reaches the search field; it is swallowed only on the window's own buttons.
    QSignalSpy entered(window->SearchField(), &QLineEdit::returnPressed);
    window->activateWindow();
    window->SearchField()->setFocus();
    QTest::keyClick(window->SearchField(), Qt::Key_Return);
    EXPECT_EQ(entered.count(), 1);

    QTest::keyPress(window->SearchField(), Qt::Key_Control);
    EXPECT_TRUE(window->MultiSelect());
    // Ctrl let go in another window: leaving the window clears it.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(window->MultiSelect());
}

TEST_F(MainWindow, ViewButtonsOverflowIntoTheMoreMenu) {
    Open();
    ASSERT_TRUE(Start());
    window->resize(1280, 700);
    QTest::qWait(50);
    EXPECT_EQ(window->MoreMenuItems(), (QStringList{"All", "Printer", "Resolution sheet..."}));
    EXPECT_TRUE(window->Button(kButtonMore)->isVisible());
    EXPECT_FALSE(window->Button(kButtonAll)->isVisible());
    window->resize(1280, 800);
    QTest::qWait(50);
    // Every view button fits; the sheet keeps the more button.
    EXPECT_EQ(window->MoreMenuItems(), (QStringList{"Resolution sheet..."}));
    EXPECT_TRUE(window->Button(kButtonMore)->isVisible());
}

TEST_F(MainWindow, TheResolutionSheetHoldsEveryCommentOfTheReview) {
    Open();
    ASSERT_TRUE(Start());
    ASSERT_FALSE(index.empty());
    const QString csvPath = QString::fromStdString((folder / "sheet.csv").string());
    QString error;
    ASSERT_TRUE(window->SaveResolutionSheetTo(csvPath, &error)) << error.toStdString();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_TRUE(text.startsWith("\xEF\xBB\xBFNo.,Page,Discipline,Author,"));
    for (const auto& [name, entry] : index)
        EXPECT_TRUE(text.contains(QByteArray::fromStdString(platform::AnsiToUtf8(entry.author))))
            << name;
    EXPECT_TRUE(text.contains(("\r\n" + std::to_string(index.size()) + ",").c_str()));
    // Undecided comments come back from "REVIEW" as under SC, which the index cannot hold.
    EXPECT_TRUE(text.contains(",Under SC,"));
    // The initiator's summary from the server, and every link with the comment's position.
    EXPECT_TRUE(text.contains(",Apply,Reroute accepted.,"));
    EXPECT_EQ(text.count(",\"page "), static_cast<qsizetype>(index.size()));

    const QString pdfPath = QString::fromStdString((folder / "sheet.PDF").string());
    ASSERT_TRUE(window->SaveResolutionSheetTo(pdfPath, &error)) << error.toStdString();
    QFile pdf(pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    // One picture of its area a comment.
    QProcess images;
    images.start("pdfimages", {"-list", pdfPath});
    if (images.waitForFinished(30000) && images.exitCode() == 0) {
        EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput())
                      .split('\n', Qt::SkipEmptyParts)
                      .size(),
                  static_cast<qsizetype>(2 + index.size()));
    }

    EXPECT_FALSE(window->SaveResolutionSheetTo(
        QString::fromStdString((folder / "missing" / "sheet.csv").string()), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainWindow, AnObserverCanOnlyClose) {
    params.patcpClass03 = true;
    bool finishOpened = false;
    Open([&](bool, QWidget*) { return finishOpened = true; });
    ASSERT_TRUE(Start());
    EXPECT_FALSE(window->Button(kButtonFinish)->isEnabled());
    EXPECT_FALSE(window->Button(kButtonPublish)->isEnabled());
    EXPECT_FALSE(window->Button(kButtonDrawing)->isEnabled());
    window->PressButton(kButtonFinish);
    EXPECT_FALSE(finishOpened);
}

TEST_F(MainWindow, FinishWithOkClosesWithoutAskingAgain) {
    Open([](bool isOpener, QWidget*) { return !isOpener; });
    ASSERT_TRUE(Start());
    QSignalSpy destroyedSpy(window.get(), &QObject::destroyed);
    window->PressButton(kButtonFinish);
    EXPECT_EQ(Count("Finish."), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindow, GoingToACommentShowsItsRectangleAndSelectsItInEveryRotation) {
    Open();
    ASSERT_TRUE(Start());
    window->PressButton(kButtonAll);
    widget::PdfViewerWidget* view = window->ViewerDialog()->Viewer();
    control::PdfViewerControl& control = window->ViewerDialog()->Control();
    ASSERT_FALSE(index.empty());
    // The rotation button turns every page a quarter further: 1, 2, 3, then 0.
    for (int turn = 0; turn < 4; ++turn) {
        window->PressButton(kButtonRotation);
        for (const auto& [name, entry] : index) {
            SCOPED_TRACE(name + " rotation " + std::to_string(control.Rotation()));
            ASSERT_NE(entry.record, nullptr);
            window->GoToComment(name);
            QTest::qWait(10);
            double rect[4];
            ASSERT_TRUE(CommentRect(*entry.record, rect));
            const QPointF a = view->ToViewport(entry.pageIndex, {rect[0], rect[1]});
            const QPointF b = view->ToViewport(entry.pageIndex, {rect[2], rect[3]});
            const QRectF shown = QRectF(a, b).normalized();
            EXPECT_TRUE(QRectF(view->viewport()->rect()).intersects(shown))
                << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
            EXPECT_EQ(control.CurrentPage(), entry.pageIndex);
            const control::PdfAnnot annot = AnnotOfRecord(control, *entry.record);
            ASSERT_TRUE(annot.IsValid());
            EXPECT_EQ(view->SelectedAnnot(), annot.Id());
        }
    }
}

TEST_F(MainWindow, ADeletedCommentIsMarkedForTheNextPublish) {
    Open();
    ViewerDialogHost& host = *window;
    pending.SetDelete("C-1", 0);
    host.CommentDeleted("C-1");
    host.CommentDeleted("C-2");
    EXPECT_EQ(pending.deletes.at("C-1"), 1);
    EXPECT_EQ(pending.deletes.at("C-2"), 1);
}

TEST_F(MainWindow, TheInitiatorConsolidatesThroughTheFinishDialogsPage) {
    params = ReviewerParams(server, "opener1", "Process", "sample-drawing");
    params.OPENERID = "opener1";
    params.PATCPSEQ = 1;
    params.REPATCPSEQ = 1;
    params.isOpener = true;
    params.SITECD = "S01";
    params.KESTRON = server.host() + ":" + std::to_string(server.port());
    params.ECM_HOST = server.host();
    params.ECM_PORT = server.ecmPort();
    params.ECM_SERVER_ID = "ECM01";
    params.SQUADDOCNO = "QM-DWG-0001";
    params.SQUADDOCNM = "Plan";
    params.NEXTPLANYMDCD = "20261231";
    params.NEXTREVISNNO = "B";
    params.SQUADSQNUM = 1;
    Open();
    ASSERT_TRUE(Start());

    // Undecided comments keep the review open.
    ConsolidationStop stop = ConsolidationStop::kFinished;
    auto pressOk = [&] {
        auto* page = window->findChild<CGatherTabDlg*>();
        ASSERT_NE(page, nullptr);
        EXPECT_GT(page->EngineerList()->count(), 0);
        stop = page->RunOk();
        if (stop != ConsolidationStop::kFinished) page->window()->close();
    };
    QTimer::singleShot(300, window.get(), pressOk);
    EXPECT_FALSE(window->RunFinishDialog(true));
    EXPECT_EQ(stop, ConsolidationStop::kUnderReview);
    EXPECT_EQ(Count("Comments are being reviewed."), 1);

    // Every comment decided: the result is stored and reported, and the dialog ends with OK.
    review::ReviewClient opener(params, session);
    bool apply = true;
    for (const auto& [name, entry] : index) {
        ASSERT_EQ(opener.SendReview(name, apply, "", entry.contents), "0");
        apply = !apply;
    }
    ASSERT_TRUE(window->Workflow().ApplyReviewDecisions());
    QTimer::singleShot(300, window.get(), pressOk);
    EXPECT_TRUE(window->RunFinishDialog(true));
    EXPECT_EQ(stop, ConsolidationStop::kFinished);
    EXPECT_FALSE(window->Busy());
}

TEST_F(MainWindow, TheFontSettingsAreWrittenWhenTheWindowGoes) {
    Open();
    ASSERT_TRUE(Start());
    window->RunMenuCommand(3003 + 5);  // "Polygon"
    window.reset();
    std::ifstream in((folder / "setFont.dat").string());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Arial\n16\n9984315\n5\n");
}

}  // namespace
