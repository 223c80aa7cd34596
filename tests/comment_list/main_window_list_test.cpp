// The comment list in the main window on the seeded demo review: every comment in each
// order, the initiator's decision on its card, the selection of a participant, the card
// menu's review dialog and a filter, click, decision and sort in a row.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "app/logs.h"
#include "main_window/demo_window_fixture.h"
#include "session/comment_list_menu.h"
#include "ui/comment_list_box.h"
#include "ui/comment_list_items.h"
#include "ui/quillmark_dlg.h"
#include "ui/tool_bar_table.h"
#include "viewer_dialog/dialog_fixture.h"
#include "widgets/artwork.h"
#include "widgets/icon_menu.h"
#include "widgets/picture_source.h"

using namespace quill;
using namespace quill::session;
using namespace quill::ui;
using namespace dialogtest;
using namespace std::chrono_literals;

namespace {

constexpr const char* kAppliedRectangle = "5E0C2A1B-7D44-4F1A-9B21-3C8D00A10001";

class MainWindowList : public windowtest::DemoWindowFixture {
protected:
    void SetUp() override {
        DemoWindowFixture::SetUp();
        widgets::SetPictureSource([](int id) { return widgets::Artwork(id); });
    }
    void TearDown() override {
        DemoWindowFixture::TearDown();
        widgets::SetPictureSource({});
    }
    // Opens the window on the launch values as the test left them, and starts it.
    bool Start() {
        Open();
        return DemoWindowFixture::Start();
    }
    CCommentListBox& List() { return *window->CommentList(); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        const auto& cards = List().Items().Cards();
        for (int row = 0; row < cards.Count(); ++row) names.push_back(cards.Card(row).name);
        return names;
    }
    void Sort(int order) { window->RunMenuCommand(kSortCommands[static_cast<size_t>(order)]); }
    void Click(const std::string& name, Qt::MouseButton button = Qt::LeftButton) {
        const int row = List().Items().Cards().RowOf(name);
        ASSERT_GE(row, 0) << name;
        List().scrollTo(List().Items().index(row));
        QTest::mouseClick(List().viewport(), button, {}, List().CardRect(row).center());
    }
    // With QUILL_SHOTS_DIR set, the window and its list are saved there under name.
    void Shot(const std::string& name) {
        const char* dir = std::getenv("QUILL_SHOTS_DIR");
        if (!dir || !*dir) return;
        QTest::qWait(50);
        window->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
        List().grab().save(QString::fromStdString(std::string(dir) + "/" + name + "-list.png"));
    }
};

TEST_F(MainWindowList, EveryOrderListsEverySeededCommentAndTheDecisionShows) {
    ASSERT_TRUE(Start());
    std::vector<std::string> all;
    for (const auto& [name, entry] : index)
        if (entry.record) all.push_back(name);
    ASSERT_GE(all.size(), 5u);
    const char* shots[] = {"engineer", "date", "discipline", "status"};
    for (int order = kSortEngineer; order <= kSortReviewStatus; ++order) {
        Sort(order);
        EXPECT_EQ(window->ListSortKey(), order);
        std::vector<std::string> shown = Names();
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, all) << order;
        Shot(std::string("demo-") + shots[order]);
    }
    // Sorted by status, the applied rectangle leads and says so.
    ASSERT_FALSE(Names().empty());
    EXPECT_EQ(Names().front(), kAppliedRectangle);
    EXPECT_EQ(List().Items().Cards().Card(0).statusText, "Apply");
    EXPECT_EQ(index.at(kAppliedRectangle).feedbackStatus, 1);

    // The search field filters by contents and author.
    window->SearchField()->setText("junction");
    EXPECT_EQ(Names().size(), 1u);
    window->SearchField()->setText("lee jihoon");
    EXPECT_EQ(Names().size(), 3u);
    window->SearchField()->setText("");
    EXPECT_EQ(Names().size(), all.size());
}

TEST_F(MainWindowList, AParticipantSelectsOneAndTheInitiatorSeveral) {
    ASSERT_TRUE(Start());
    const std::vector<std::string> names = Names();
    ASSERT_GE(names.size(), 2u);
    window->SetMultiSelect(true);  // a participant's Ctrl
    EXPECT_FALSE(window->MultiSelect());
    Click(names[0]);
    Click(names[1]);
    EXPECT_EQ(window->SelectedCommentNames(), (std::vector<std::string>{names[1]}));

    params.isOpener = true;
    window->SetMultiSelect(true);
    Click(names[0]);
    window->SetMultiSelect(false);
    EXPECT_EQ(window->SelectedCommentNames(), (std::vector<std::string>{names[0], names[1]}));

    // The card menu opens the review dialog through the window's factory (here a recorder in
    // place of the modal dialog).
    std::vector<std::pair<std::string, bool>> opened;
    int answer = kCommandApply;
    List().SetMenuRunner([&](widgets::CIconMenu&, const QPoint&) { return answer; });
    window->SetReviewDialogFactory(
        [&](const std::string& name, bool positive) { opened.emplace_back(name, positive); });
    Click(names[1], Qt::RightButton);
    EXPECT_TRUE(window->KeepSelectionValue());
    answer = kCommandDoNotApply;
    Click(names[1], Qt::RightButton);
    EXPECT_EQ(opened,
              (std::vector<std::pair<std::string, bool>>{{names[1], true}, {names[1], false}}));
    EXPECT_EQ(window->SelectedCommentNames(), (std::vector<std::string>{names[0], names[1]}));
}

TEST_F(MainWindowList, FilterClickDecideAndSortByStatusStayClean) {
    ASSERT_TRUE(Start());
    const std::vector<std::string> names = Names();
    ASSERT_GE(names.size(), 2u);
    // A card filtered away, another clicked, the decisions read again, the status order.
    window->SearchField()->setText("junction");
    ASSERT_EQ(Names().size(), 1u);
    const std::string shown = Names().front();
    Click(shown);
    for (const auto& [name, entry] : index) {
        if (name != shown) {
            EXPECT_EQ(entry.card, nullptr) << name;
        }
    }
    window->Workflow().ApplyReviewDecisions();
    Sort(kSortReviewStatus);
    EXPECT_EQ(window->SelectedCommentNames(), std::vector<std::string>{});
    window->SearchField()->setText("");
    EXPECT_EQ(Names().front(), kAppliedRectangle);
    EXPECT_EQ(List().Items().Cards().Card(0).statusText, "Apply");
}

}  // namespace
