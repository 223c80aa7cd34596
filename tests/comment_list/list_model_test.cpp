// The comment list without widgets: the four orders, the search text, the selection rule,
// the cards written back into the index, the card menu rule and the copy files.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "platform/code_page.h"
#include "session/comment_list_copy_files.h"
#include "session/comment_list_menu.h"
#include "session/comment_list_model.h"
#include "support/temp_dir.h"
#include "sync/nm_object.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;

namespace {

class ListModel : public ::testing::Test {
protected:
    // An entry with its record at (page, annot).
    CommentEntry& Add(const std::string& name, const std::string& author, const std::string& date,
                      int page, int annot, const std::string& contents = "text", int status = 0) {
        sync::CNMObject& record = records.emplace_back();
        record.uniqueName = name;
        record.page = page;
        record.annotIndex = annot;
        CommentEntry& entry = index[name];
        entry.author = author;
        entry.date = date;
        entry.pageIndex = page;
        entry.annotIndex = annot;
        entry.contents = contents;
        entry.subject = "cloudy";
        entry.record = &record;
        entry.feedbackStatus = status;
        return entry;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < model.Count(); ++row) names.push_back(model.Card(row).name);
        return names;
    }
    void Refill(int order, const std::string& filter = "") {
        model.Refill(index, order, filter, subjects);
    }

    std::deque<sync::CNMObject> records;
    CommentIndex index;
    AnnotSubjectTable subjects = BuildAnnotSubjectTable();
    CommentListModel model;
};

TEST_F(ListModel, EngineerAndDisciplineOrdersTakeTheAuthorApartAtTheFirstDash) {
    Add("a", "kim-PIPING", "2024-01-02 10:00:00", 0, 0);
    Add("b", "lee-CIVIL", "2024-01-01 10:00:00", 0, 1);
    Add("c", "NODASH", "2024-01-03 10:00:00", 0, 2);
    Refill(kSortEngineer);
    // No dash: an empty engineer sorts before every name.
    EXPECT_EQ(Names(), (std::vector<std::string>{"c", "a", "b"}));
    Refill(kSortDiscipline);
    // ... and the whole text is its discipline.
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c", "a"}));
    Refill(kSortDate);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a", "c"}));
    // Cards and entries agree on the position.
    for (int row = 0; row < model.Count(); ++row) {
        const CommentEntry& entry = index.at(model.Card(row).name);
        EXPECT_EQ(entry.listPosition, row);
        EXPECT_EQ(entry.card, &model.Card(row));
    }
}

TEST_F(ListModel, StatusOrderPutsApplyBeforeDoNotApplyBeforeUnderReviewOldestFirst) {
    Add("u", "a-X", "2024-01-01 00:00:00", 0, 0, "t", 0);
    Add("d", "a-X", "2024-01-02 00:00:00", 0, 1, "t", 2);
    Add("a2", "a-X", "2024-01-04 00:00:00", 0, 2, "t", 1);
    Add("a1", "a-X", "2024-01-03 00:00:00", 0, 3, "t", 1);
    Add("odd", "a-X", "2023-01-01 00:00:00", 0, 4, "t", 7);
    Refill(kSortReviewStatus);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a1", "a2", "d", "odd", "u"}));
    EXPECT_EQ(model.Card(model.RowOf("odd")).statusText, "Under SC");
    EXPECT_EQ(model.FeedbackStatusOf(model.RowOf("odd")), 7);
}

TEST_F(ListModel, EqualKeysOfDistinctCommentsAreBothListed) {
    // Page 1 index 12 and page 11 index 2 glue to the same digits in the same second.
    Add("first", "kim-PIPING", "2024-05-05 12:00:00", 1, 12);
    Add("second", "kim-PIPING", "2024-05-05 12:00:00", 11, 2);
    for (int order = kSortEngineer; order <= kSortReviewStatus; ++order) {
        Refill(order);
        EXPECT_EQ(Names(), (std::vector<std::string>{"first", "second"})) << order;
        EXPECT_NE(index.at("first").card, nullptr);
        EXPECT_NE(index.at("second").card, nullptr);
    }
}

TEST_F(ListModel, AHiddenCommentLosesItsCardAndSortsByItsOwnStatusLater) {
    Add("shown", "kim-PIPING", "2024-01-02 00:00:00", 0, 0, "valve here");
    CommentEntry& hidden = Add("hidden", "lee-CIVIL", "2024-01-01 00:00:00", 0, 1, "pump");
    Refill(kSortEngineer);
    ASSERT_NE(hidden.card, nullptr);
    Refill(kSortEngineer, "valve");
    // Its old card is gone with the old list: no entry may point at it.
    EXPECT_EQ(hidden.card, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"shown"}));
    // Decided while hidden: the status order takes the entry's status, not a card's.
    hidden.feedbackStatus = 1;
    Refill(kSortReviewStatus);
    EXPECT_EQ(Names(), (std::vector<std::string>{"hidden", "shown"}));
    EXPECT_EQ(model.Card(0).statusText, "Apply");
    model.Clear();
    EXPECT_EQ(index.at("shown").card, nullptr);
    EXPECT_EQ(hidden.card, nullptr);
}

TEST_F(ListModel, EntriesWithoutRecordAreSkippedAndReadsNeverInsert) {
    Add("real", "kim-PIPING", "2024-01-02 00:00:00", 0, 0);
    index["phantom"];  // an entry with no record
    Refill(kSortEngineer);
    EXPECT_EQ(Names(), (std::vector<std::string>{"real"}));
    EXPECT_EQ(model.RowOf("missing"), -1);
    EXPECT_EQ(model.SetStatusText("missing", "Apply"), -1);
    model.Select(0, "missing", false, false);
    EXPECT_EQ(index.size(), 2u);
    EXPECT_EQ(index.count("missing"), 0u);
}

TEST_F(ListModel, FilterMatchesAuthorOrContentsIgnoringCaseOnWholeCharacters) {
    platform::SetSystemCodePageForTesting("CP949");
    // 0xB0 0x61: one double-byte character whose trail byte is an "a".
    Add("korean", "kim-PIPING", "2024-01-01 00:00:00", 0, 0, "\xb0\x61\xb0\x62");
    Add("latin", "kim-PIPING", "2024-01-02 00:00:00", 0, 1, "Check A valve");
    Add("author", "Lee-CIVIL", "2024-01-03 00:00:00", 0, 2, "nothing");
    Refill(kSortDate, "a");
    EXPECT_EQ(Names(), (std::vector<std::string>{"latin"}));
    Refill(kSortDate, "VALVE");
    EXPECT_EQ(Names(), (std::vector<std::string>{"latin"}));
    Refill(kSortDate, "lee");
    EXPECT_EQ(Names(), (std::vector<std::string>{"author"}));
    Refill(kSortDate, "\xb0\x62");
    EXPECT_EQ(Names(), (std::vector<std::string>{"korean"}));
    Refill(kSortDate, "");
    EXPECT_EQ(model.Count(), 3);
    EXPECT_TRUE(ContainsOnCharacter("x\xb0\x61 a", "a"));
    EXPECT_FALSE(ContainsOnCharacter("\xb0\x61", "a"));
    platform::SetSystemCodePageForTesting("");
}

TEST_F(ListModel, SelectionRuleByMultiSelectAndKeep) {
    Add("one", "a-X", "2024-01-01 00:00:00", 0, 0);
    Add("two", "a-X", "2024-01-02 00:00:00", 0, 1);
    Add("three", "a-X", "2024-01-03 00:00:00", 0, 2);
    Refill(kSortDate);
    auto selected = [&] { return model.SelectedNames(); };
    using Names_ = std::vector<std::string>;

    model.Select(0, "one", false, false);
    model.Select(0, "two", false, false);  // a plain click on another: only it
    EXPECT_EQ(selected(), (Names_{"two"}));
    model.Select(0, "one", false, true);  // keep: the others stay
    EXPECT_EQ(selected(), (Names_{"one", "two"}));
    model.Select(0, "one", false, true);  // keep on the same: stays selected
    EXPECT_EQ(selected(), (Names_{"one", "two"}));
    model.Select(0, "three", true, false);  // multi-select adds
    EXPECT_EQ(selected(), (Names_{"one", "two", "three"}));
    model.Select(0, "two", true, true);  // multi-select on a selected one toggles it off
    EXPECT_EQ(selected(), (Names_{"one", "three"}));
    model.Select(2, "three", false, false);  // a plain click on the same: only it
    EXPECT_EQ(selected(), (Names_{"three"}));
    EXPECT_EQ(model.CurrentName(), "three");
    EXPECT_EQ(model.CurrentPage(), 2);
    EXPECT_EQ(model.SelectedCount(), 1);
    // A refill starts unselected.
    Refill(kSortEngineer);
    EXPECT_TRUE(selected().empty());
}

TEST(CardMenuRule, ByClassStepAndRole) {
    CardMenuRole role;
    role.authorName = "kim-PIPING";
    role.isOpener = true;
    EXPECT_EQ(CardMenuFor(role, "", false), CardMenu::kInitiator);
    role.patcpClass03 = true;
    EXPECT_EQ(CardMenuFor(role, "kim-PIPING", true), CardMenu::kNone);
    role.patcpClass03 = false;
    role.feedbackMode = true;
    EXPECT_EQ(CardMenuFor(role, "kim-PIPING", true), CardMenu::kFeedback);
    EXPECT_EQ(CardMenuFor(role, "lee-CIVIL", true), CardMenu::kNone);
    EXPECT_EQ(CardMenuFor(role, "kim-piping", true), CardMenu::kNone);
    EXPECT_EQ(CardMenuFor(role, "", false), CardMenu::kNone);
    role.feedbackMode = false;
    role.isOpener = false;
    EXPECT_EQ(CardMenuFor(role, "kim-PIPING", true), CardMenu::kNone);
    bool positive = false;
    EXPECT_TRUE(ReviewFormOfCommand(kCommandAgree, positive));
    EXPECT_TRUE(positive);
    EXPECT_TRUE(ReviewFormOfCommand(kCommandDoNotApply, positive));
    EXPECT_FALSE(positive);
    EXPECT_FALSE(ReviewFormOfCommand(0, positive));
}

TEST(CopyFiles, OnlyRegularFdfFilesOfTheFolderItselfGo) {
    namespace fs = std::filesystem;
    testsupport::TempDir dir;
    testsupport::TempDir outside;
    const fs::path root(dir.str());
    auto touch = [](const fs::path& p) { std::ofstream(p) << "x"; };
    touch(root / "old.fdf");
    touch(root / "OLD2.FDF");
    touch(root / "keep.txt");
    fs::create_directory(root / "sub");
    touch(root / "sub" / "inner.fdf");
    const fs::path target = fs::path(outside.str()) / "target.fdf";
    touch(target);
    fs::create_symlink(target, root / "link.fdf");

    EXPECT_EQ(DeleteCopyFiles(""), 0);
    EXPECT_EQ(DeleteCopyFiles((root / "link.fdf").string()), 0);
    // A folder reached through a link is not ours to clear.
    fs::create_directory_symlink(root, fs::path(outside.str()) / "alias");
    EXPECT_EQ(DeleteCopyFiles((fs::path(outside.str()) / "alias").string()), 0);
    EXPECT_TRUE(fs::exists(root / "old.fdf"));

    EXPECT_EQ(DeleteCopyFiles(root.string()), 2);
    EXPECT_FALSE(fs::exists(root / "old.fdf"));
    EXPECT_FALSE(fs::exists(root / "OLD2.FDF"));
    EXPECT_TRUE(fs::exists(root / "keep.txt"));
    EXPECT_TRUE(fs::exists(root / "sub" / "inner.fdf"));
    EXPECT_TRUE(fs::is_symlink(root / "link.fdf"));
    EXPECT_TRUE(fs::exists(target));
}

}  // namespace
