// The comment list's widgets offscreen: the painted card, the messages of clicks, the card
// menus by role and step, and the keys (Delete, Ctrl+C, Ctrl+V) against a real viewer control
// and autosave worker.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <deque>
#include <filesystem>
#include <fstream>

#include "control/pdf_viewer_control.h"
#include "session/comment_list_model.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "sync/nm_object.h"
#include "ui/comment_ctrl.h"
#include "ui/comment_list_box.h"
#include "ui/comment_list_host.h"
#include "ui/comment_list_items.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_dialog/dialog_fixture.h"
#include "widgets/art_ids.h"
#include "widgets/artwork.h"
#include "widgets/icon_menu.h"
#include "widgets/picture_source.h"

using namespace quill;
using namespace quill::ui;
using namespace quill::session;
using namespace dialogtest;

namespace {

constexpr const char* kMe = "kim-PIPING";
constexpr const char* kOther = "lee-CIVIL";

// One colour per picture id, so a painted pixel tells which picture lies there.
QColor ColourOf(int id) { return QColor::fromHsv((id * 37) % 360, 200, 100 + id % 100); }

// Records the list's messages in order and answers them as the main window does.
class FakeHost : public CommentListHost {
public:
    void KeepSelection(bool keep) override {
        keep_ = keep;
        calls.push_back(keep ? "keep 1" : "keep 0");
    }
    void CommentClicked(int page, const std::string& name) override {
        calls.push_back("click " + std::to_string(page) + " " + name);
        if (list) list->ApplySelection(page, name, multi, keep_);
    }
    void ShowComment(int page, const std::string& name) override {
        calls.push_back("show " + std::to_string(page) + " " + name);
    }
    void DeleteComment(int page, const std::string& name) override {
        calls.push_back("delete " + std::to_string(page) + " " + name);
    }
    void SetMultiSelect(bool on) override { multi = on; }
    void SelectHandTool() override { calls.push_back("hand"); }
    void OpenReviewDialog(const std::string& name, bool positive) override {
        calls.push_back(std::string(positive ? "review+ " : "review- ") + name);
    }
    control::PdfViewerControl* CommentControl() override { return control; }
    sync::AutosaveWorker* CommentWorker() override { return worker; }

    CCommentListBox* list = nullptr;
    control::PdfViewerControl* control = nullptr;
    sync::AutosaveWorker* worker = nullptr;
    std::vector<std::string> calls;
    bool multi = false;
    bool keep_ = false;
};

class ListBox : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        widgets::SetPictureSource([](int id) {
            const QSize size =
                id >= widgets::ArtId::BlueCard && id <= widgets::ArtId::GreyCardSelected
                    ? QSize(203, 82)
                    : QSize(16, 16);
            QPixmap picture(size);
            picture.fill(ColourOf(id));
            return picture;
        });
        control = std::make_unique<engine::EngineControl>();
        ASSERT_TRUE(control->OpenFile(MakeDrawing(folder, 2), nullptr));
        control->SetDefaultAuthor(kMe);
        AutosaveSettings settings;
        settings.host = "127.0.0.1";
        settings.port = 1;
        settings.docId = kDocId;
        settings.userId = "reviewer1";
        settings.workingFolder = folder.str();
        worker = std::make_unique<AutosaveWorker>(control.get(), control->PageCount(), settings);
        host.control = control.get();
        host.worker = worker.get();
    }
    void TearDown() override {
        box.reset();
        worker.reset();
        control.reset();
        widgets::SetPictureSource({});
    }

    // Draws a comment on page 0 as author with contents, records it for the worker and
    // enters it in the index; its name.
    std::string Draw(const std::string& author, const std::string& contents,
                     control::AnnotTool tool = control::AnnotTool::Rectangle) {
        auto drafts = engine::SampleAnnotDrafts(0, control->PageGeometryOf(0));
        engine::AnnotDraft draft = drafts.at(static_cast<size_t>(tool));
        draft.author = author;
        draft.contents = contents;
        const control::AnnotId id = control->CreateAnnot(draft);
        EXPECT_NE(id, 0u);
        const int at = control->AnnotIndexOf(id);
        EXPECT_EQ(worker->AutoSaveAnnot(0, at, 0), 1);
        const control::PdfAnnot annot = control->GetPage(0).GetAnnot(at);
        CNMObject& record = records.emplace_back();
        record.uniqueName = annot.GetName();
        record.page = 0;
        record.annotIndex = at;
        CommentEntry& entry = index[record.uniqueName];
        entry.author = author;
        entry.contents = contents;
        entry.subject = annot.Subject();
        entry.date = "2024-01-0" + std::to_string(records.size()) + " 10:00:00";
        entry.record = &record;
        return record.uniqueName;
    }
    CCommentListBox& Open(LaunchParams p) {
        params = std::move(p);
        params.authorName = kMe;
        CCommentListBox::Context context;
        context.params = &params;
        context.index = &index;
        context.copyBuffer = &copy;
        context.subjects = &subjects;
        context.workingFolder = folder.str();
        context.host = &host;
        box = std::make_unique<CCommentListBox>(std::move(context));
        host.list = box.get();
        box->resize(222, 600);
        box->show();
        box->SetMenuRunner([this](widgets::CIconMenu& menu, const QPoint&) {
            menuItems.clear();
            for (QAction* action : menu.actions())
                if (!action->isSeparator()) menuItems.push_back(action->text().toStdString());
            return menuAnswer;
        });
        box->Refill(kSortDate, "");
        return *box;
    }
    QPoint CardPoint(int row) { return box->CardRect(row).center(); }
    void Click(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(box->viewport(), button, {}, CardPoint(row));
    }
    void Key(int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(box.get(), static_cast<Qt::Key>(key), mods);
    }
    int Count(const std::string& text) {
        int n = 0;
        for (const auto& e : prompts->entries()) n += e.text == text;
        return n;
    }
    int AnnotCount() { return control->GetPage(0).AnnotCount(); }

    testsupport::TempDir folder;
    std::unique_ptr<engine::EngineControl> control;
    std::unique_ptr<AutosaveWorker> worker;
    std::deque<CNMObject> records;
    CommentIndex index;
    CommentCopyBuffer copy;
    AnnotSubjectTable subjects = BuildAnnotSubjectTable();
    LaunchParams params;
    FakeHost host;
    PromptRecorder prompts;
    std::unique_ptr<CCommentListBox> box;
    std::vector<std::string> menuItems;
    int menuAnswer = 0;
};

TEST_F(ListBox, CardPaintsIconsTextAndBackgroundByStatus) {
    const QFont font = CCommentCtrl::CardFont();
    const QFontMetrics metrics(font);
    const std::string longText(80, 'W');
    const QString cut = CCommentCtrl::CutText(longText, 145, "...", metrics);
    EXPECT_TRUE(cut.endsWith("..."));
    // The character that went past the limit stays.
    EXPECT_GT(metrics.horizontalAdvance(cut.chopped(3)), 145);
    EXPECT_LE(metrics.horizontalAdvance(cut.chopped(4)), 145);
    EXPECT_EQ(CCommentCtrl::CutText("short", 145, "...", metrics), "short");
    EXPECT_EQ(CCommentCtrl::AuthorText("kim - ME", metrics), "ME kim");
    // Past 45 pixels the overflowing letter stays and ".." follows.
    EXPECT_EQ(CCommentCtrl::AuthorText("kim-PIPING", metrics), "PIPING.. kim");
    EXPECT_EQ(CCommentCtrl::AuthorText(" solo ", metrics), "solo ");
    // Beside a long status text the engineer, then the discipline, give way.
    const QString roomy = CCommentCtrl::AuthorText("Lee Jihoon-Electrical", metrics);
    const QString tight = CCommentCtrl::AuthorText("Lee Jihoon-Electrical", metrics, 70);
    EXPECT_GT(metrics.horizontalAdvance(roomy), 70);
    EXPECT_LE(metrics.horizontalAdvance(tight), 70);
    EXPECT_TRUE(tight.startsWith("Electri")) << tight.toStdString();
    EXPECT_TRUE(tight.contains(" L")) << tight.toStdString();  // the engineer's initial stays
    EXPECT_TRUE(tight.endsWith("..")) << tight.toStdString();
    EXPECT_FALSE(CCommentCtrl::AuthorText("Lee Jihoon-Electrical", metrics, 0).isEmpty());

    auto paint = [](const CommentCard& card, int status) {
        QImage image(203, 82, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        CCommentCtrl::PaintCard(painter, QPoint(0, 0), card, status);
        return image;
    };
    CommentCard card;
    card.typeCode = CommentTypeCode("no such tool", BuildAnnotSubjectTable());
    card.SetContents("see the datasheet at https://example.test/pump");
    EXPECT_TRUE(card.hasLink);
    card.selected = true;
    QImage image = paint(card, 1);
    EXPECT_EQ(image.pixel(7 + 8, 25 + 8), ColourOf(widgets::ArtId::TypeIconFirst).rgb());
    EXPECT_EQ(image.pixel(180 + 8, 57 + 8), ColourOf(widgets::ArtId::LinkIcon).rgb());
    EXPECT_EQ(image.pixel(120, 75), ColourOf(widgets::ArtId::GreenCardSelected).rgb());
    EXPECT_EQ(image.pixel(7 + 8, 8 + 8), ColourOf(widgets::ArtId::PinIcon).rgb());

    card.SetContents("see the datasheet at HTTPS://example.test/pump");
    EXPECT_FALSE(card.hasLink);
    card.selected = false;
    image = paint(card, 7);
    EXPECT_EQ(image.pixelColor(180 + 8, 57 + 8).alpha(), 0);
    // No background for a status outside 0 to 2.
    EXPECT_EQ(image.pixelColor(120, 75).alpha(), 0);
    EXPECT_EQ(card.statusText, "Under SC");
    image = paint(card, 2);
    EXPECT_EQ(image.pixel(120, 75), ColourOf(widgets::ArtId::GreyCard).rgb());
}

TEST_F(ListBox, ClicksSendKeepBeforeSelectAndDoubleClickGoesToTheComment) {
    const std::string a = Draw(kOther, "first");
    const std::string b = Draw(kOther, "second");
    LaunchParams p;
    p.isOpener = true;
    Open(p);
    ASSERT_EQ(box->Items().Cards().Count(), 2);
    Click(0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"keep 0", "click 0 " + a}));
    EXPECT_EQ(box->SelectedNames(), (std::vector<std::string>{a}));
    host.calls.clear();
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, CardPoint(1));
    EXPECT_EQ(host.calls.back(), "show 0 " + b);
    Click(1);

    // A right click on a selected card keeps the other selected ones.
    Key(Qt::Key_Control);  // press and release: the initiator's Ctrl goes through the host
    host.multi = true;
    Click(0);
    host.multi = false;
    EXPECT_EQ(box->SelectedNames(), (std::vector<std::string>{a, b}));
    host.calls.clear();
    Click(1, Qt::RightButton);
    EXPECT_EQ(host.calls.at(0), "keep 1");
    EXPECT_EQ(box->SelectedNames(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(menuItems, (std::vector<std::string>{"Apply", "Do Not Apply"}));
    // On an unselected card the others go.
    box->ApplySelection(0, a, false, false);
    host.calls.clear();
    menuAnswer = kCommandDoNotApply;
    Click(1, Qt::RightButton);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"keep 0", "click 0 " + b, "review- " + b}));
    EXPECT_EQ(box->SelectedNames(), (std::vector<std::string>{b}));
}

TEST_F(ListBox, CardMenusFollowClassStepAndAuthor) {
    const std::string mine = Draw(kMe, "mine");
    const std::string theirs = Draw(kOther, "theirs");
    LaunchParams p;
    p.patcpClass03 = true;
    p.isOpener = true;
    Open(p);
    menuItems = {"untouched"};
    Click(0, Qt::RightButton);
    EXPECT_EQ(menuItems, (std::vector<std::string>{"untouched"}));

    p = {};
    p.feedbackMode = true;
    Open(p);
    menuAnswer = kCommandAgree;
    Click(box->Items().Cards().RowOf(mine), Qt::RightButton);
    EXPECT_EQ(menuItems, (std::vector<std::string>{"Agree", "Disagree"}));
    EXPECT_EQ(host.calls.back(), "review+ " + mine);
    menuItems = {"untouched"};
    Click(box->Items().Cards().RowOf(theirs), Qt::RightButton);
    EXPECT_EQ(menuItems, (std::vector<std::string>{"untouched"}));

    p = {};  // a participant outside the feedback step: no menu
    Open(p);
    Click(0, Qt::RightButton);
    EXPECT_EQ(menuItems, (std::vector<std::string>{"untouched"}));
}

TEST_F(ListBox, DeleteIsRefusedForClass03AndInTheFeedbackStep) {
    const std::string a = Draw(kMe, "first");
    for (const bool class03 : {true, false}) {
        LaunchParams p;
        p.patcpClass03 = class03;
        p.feedbackMode = !class03;
        Open(p);
        Click(0);
        host.calls.clear();
        Key(Qt::Key_Delete);
        EXPECT_TRUE(host.calls.empty());
        EXPECT_EQ(box->CurrentName(), a);
    }
    Open(LaunchParams{});
    Click(0);
    copy.name = a;
    host.calls.clear();
    Key(Qt::Key_Delete);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"delete 0 " + a}));
    EXPECT_TRUE(box->CurrentName().empty());
    EXPECT_FALSE(copy.HoldsComment());
    // With no current comment the key goes on.
    host.calls.clear();
    Key(Qt::Key_Delete);
    EXPECT_TRUE(host.calls.empty());
    Key(Qt::Key_Escape);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"hand"}));
}

TEST_F(ListBox, CopyChecksTheAuthorAndOneCopyPastesOnce) {
    const std::string mine = Draw(kMe, "mine");
    const std::string theirs = Draw(kOther, "theirs");
    LaunchParams p;
    p.isOpener = true;
    Open(p);
    const std::string oldCopy = (folder / "old.fdf").string();
    std::ofstream(oldCopy) << "x";

    Key(Qt::Key_C, Qt::ControlModifier);  // nothing current
    EXPECT_EQ(Count("Please select a comment."), 1);

    // Two cards selected: the copy is refused, and the initiator's Ctrl is let go first.
    Click(0);
    host.multi = true;
    Click(1);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Count("Multiple comments copy is not supported."), 1);
    EXPECT_FALSE(host.multi);

    QGuiApplication::clipboard()->setText("stale");
    Click(box->Items().Cards().RowOf(theirs));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Count("You can copy comment of your and engineer\nin the discipline that you are "
                    "assigned."),
              1);
    EXPECT_FALSE(copy.HoldsComment());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Count("Please select a comment."), 2);
    EXPECT_TRUE(std::filesystem::exists(oldCopy));

    Click(box->Items().Cards().RowOf(mine));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copy.name, mine);
    EXPECT_FALSE(std::filesystem::exists(oldCopy));
    const int before = AnnotCount();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(AnnotCount(), before + 1);
    EXPECT_FALSE(copy.HoldsComment());
    EXPECT_TRUE(box->CurrentName().empty());
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(AnnotCount(), before + 1);
    EXPECT_EQ(Count("Please select a comment."), 3);
}

TEST_F(ListBox, PasteTakesTheCopiedCommentByNameAfterAnEarlierOneWasDeleted) {
    const std::string first = Draw(kMe, "first");
    const std::string middle = Draw(kMe, "middle");
    const std::string last = Draw(kMe, "last");
    Open(LaunchParams{});
    Click(box->Items().Cards().RowOf(middle));
    Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(copy.name, middle);
    ASSERT_EQ(copy.annotIndex, 1);
    // A merge takes the first comment away: the copied one moves to index 0 and its old
    // index now holds its neighbour.
    control::PdfPage page = control->GetPage(0);
    ASSERT_TRUE(page.RemoveAnnot(FindAnnotByName(page, first)));
    ASSERT_EQ(page.GetAnnot(1).GetName(), last);

    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(AnnotCount(), 3);
    const control::PdfAnnot pasted = page.GetAnnot(2);
    EXPECT_EQ(pasted.GetContents(), "middle");
    EXPECT_NE(pasted.GetName(), middle);

    // The copied comment itself gone: nothing is pasted and the buffer empties.
    Click(box->Items().Cards().RowOf(last));
    Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(copy.name, last);
    ASSERT_TRUE(page.RemoveAnnot(FindAnnotByName(page, last)));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(AnnotCount(), 2);
    EXPECT_FALSE(copy.HoldsComment());
    EXPECT_EQ(Count("Please select a comment."), 1);
}

}  // namespace

namespace {

// Twenty cards of several engineers, types and states, drawn with the client's own pictures
// in each order; with QUILL_SHOTS_DIR set the lists are saved there.
TEST(CardList, TwentyCardsInEachOrderFillTheList) {
    EnsureApp();
    widgets::SetPictureSource([](int id) { return widgets::Artwork(id); });
    const char* authors[] = {"Kim Minjun-Piping", "Lee Jihoon-Electrical", "Park Seojun-Structural",
                             "Choi Yuna-Instrument", "NoDiscipline"};
    const char* subjects[] = {"cloudy", "arrow",         "rectangle", "ellipse",
                              "note",   "highlight",     "distance",  "file attachment",
                              "pencil", "something else"};
    const char* texts[] = {"Reroute the line 300 mm lower.",
                           "Datasheet: https://example.test/p-101 (rev B)",
                           "Junction box JB-12 is missing on this sheet.",
                           "Check the anchor bolt layout of V-101 against the foundation drawing."};
    std::deque<CNMObject> records;
    CommentIndex index;
    for (int i = 0; i < 20; ++i) {
        CNMObject& record = records.emplace_back();
        record.uniqueName = "card-" + std::to_string(100 + i);
        record.page = i % 3;
        record.annotIndex = i / 3;
        CommentEntry& entry = index[record.uniqueName];
        entry.author = authors[i % 5];
        entry.subject = subjects[i % 10];
        entry.contents = texts[i % 4];
        entry.replyCount = i % 4;
        entry.date = "2026-12-" + std::to_string(10 + (i * 7) % 19) + " 0" +
                     std::to_string(i % 10) + ":15:00";
        entry.feedbackStatus = i % 4 == 3 ? 0 : i % 3;
        entry.record = &record;
    }
    LaunchParams params;
    CommentCopyBuffer copy;
    const AnnotSubjectTable table = BuildAnnotSubjectTable();
    CCommentListBox::Context context;
    context.params = &params;
    context.index = &index;
    context.copyBuffer = &copy;
    context.subjects = &table;
    CCommentListBox list(context);
    list.resize(222, 20 * 82);
    list.show();
    const char* names[] = {"engineer", "date", "discipline", "status"};
    const char* dir = std::getenv("QUILL_SHOTS_DIR");
    for (int order = kSortEngineer; order <= kSortReviewStatus; ++order) {
        list.Refill(order, "");
        ASSERT_EQ(list.Items().Cards().Count(), 20);
        list.ApplySelection(0, list.Items().Cards().Card(2).name, false, false);
        const QImage image = list.grab().toImage();
        // The first card's blue, green or grey fills its middle.
        EXPECT_NE(image.pixelColor(120, 75), QColor(216, 217, 222));
        if (dir && *dir)
            image.save(
                QString::fromStdString(std::string(dir) + "/cards-" + names[order] + ".png"));
    }
    widgets::SetPictureSource({});
}

}  // namespace
