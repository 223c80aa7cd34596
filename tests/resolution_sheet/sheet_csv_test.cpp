// The resolution sheet's rows and CSV: quoting, Korean text, ordering and a round trip.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "platform/code_page.h"
#include "resolution_sheet/csv_reader.h"
#include "session/resolution_sheet.h"

namespace quill::session {
namespace {

// "검토 의견" and "배관" in CP949 and in UTF-8.
const std::string kReviewAnsi = "\xB0\xCB\xC5\xE4 \xC0\xC7\xB0\xDF";
const std::string kReviewUtf8 = "\xEA\xB2\x80\xED\x86\xA0 \xEC\x9D\x98\xEA\xB2\xAC";
const std::string kPipingAnsi = "\xB9\xE8\xB0\xFC";
const std::string kPipingUtf8 = "\xEB\xB0\xB0\xEA\xB4\x80";

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetSystemCodePageForTesting("CP949"); }
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
};

SheetComment Comment(const std::string& name, int page, int order, const std::string& contents) {
    SheetComment comment;
    comment.name = name;
    comment.pageIndex = page;
    comment.order = order;
    comment.author = "kim-civil";
    comment.date = "2026-12-07 10:00:00";
    comment.subject = "cloudy";
    comment.contents = contents;
    return comment;
}

TEST_F(SheetTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"no\""), "\"say \"\"no\"\"\"");
    EXPECT_EQ(CsvField("one\ntwo"), "\"one\ntwo\"");
    EXPECT_EQ(CsvField("one\r\ntwo"), "\"one\r\ntwo\"");
    EXPECT_EQ(CsvField(" padded "), "\" padded \"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
}

TEST_F(SheetTest, RowsCarryConvertedTextsRepliesAndDecisions) {
    SheetComment first = Comment("n1", 2, 0, kReviewAnsi);
    first.author = "lee-" + kPipingAnsi + "-lead";
    first.replies = {{"park-civil", "agreed"}, {"lee-" + kPipingAnsi, kReviewAnsi}};
    first.hasPosition = true;
    first.x = 120.4;
    first.y = 449.6;
    SheetComment second = Comment("n2", 0, 5, "B");
    second.feedbackStatus = app::kFeedbackDoNotApply;
    SheetComment third = Comment("n3", 0, 1, "A");
    third.author = "nobody";
    SheetComment fourth = Comment("n4", 1, 0, "C");
    fourth.feedbackStatus = app::kFeedbackApply;

    std::map<std::string, review::CommentOutcome> outcomes;
    outcomes["n1"] = {"Y", "fix it", "N", kReviewUtf8};  // "REVIEW" says C: a disagreement
    outcomes["n2"] = {"", "", "Y", ""};
    outcomes["n4"] = {"N", "", "", "see note"};
    const auto rows =
        CollectSheetRows({first, second, third, fourth}, {{"n1", "C"}, {"n3", "Y"}, {"n4", "?"}},
                         outcomes, {{2, "iii"}});
    ASSERT_EQ(rows.size(), 4u);
    // By page, then by position in the list; numbered from 1 in that order.
    EXPECT_EQ(rows[0].contents, "A");
    EXPECT_EQ(rows[1].contents, "B");
    EXPECT_EQ(rows[2].contents, "C");
    EXPECT_EQ(rows[3].contents, kReviewUtf8);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rows[i].number, i + 1);

    EXPECT_EQ(rows[0].decision, "Apply");         // from "REVIEW"
    EXPECT_EQ(rows[1].decision, "Do Not Apply");  // from the index
    EXPECT_EQ(rows[2].decision, "");              // an unknown letter decides nothing
    EXPECT_EQ(rows[3].decision, "Under SC");

    EXPECT_EQ(rows[0].discipline, "");  // no dash
    EXPECT_EQ(rows[1].discipline, "civil");
    EXPECT_EQ(rows[3].discipline, kPipingUtf8 + "-lead");  // after the first dash only
    EXPECT_EQ(rows[3].author, "lee-" + kPipingUtf8 + "-lead");

    EXPECT_EQ(rows[1].pageLabel, "1");
    EXPECT_EQ(rows[2].pageLabel, "2");
    EXPECT_EQ(rows[3].pageLabel, "iii");
    EXPECT_EQ(rows[3].link, "page iii (120, 450)");
    ASSERT_EQ(rows[3].replies.size(), 2u);
    EXPECT_EQ(rows[3].replies[0], "park-civil: agreed");
    EXPECT_EQ(rows[3].replies[1], "lee-" + kPipingUtf8 + ": " + kReviewUtf8);
    // Summaries and feedback come from the outcomes, already UTF-8.
    EXPECT_EQ(rows[3].decisionSummary, "fix it");
    EXPECT_EQ(rows[3].feedback, "Disagree: " + kReviewUtf8);
    EXPECT_EQ(rows[1].feedback, "Agree");
    EXPECT_EQ(rows[2].feedback, "see note");
    EXPECT_EQ(rows[0].feedback, "");
}

TEST_F(SheetTest, WithoutAReviewLetterTheOutcomeDecides) {
    std::map<std::string, review::CommentOutcome> outcomes;
    outcomes["n"] = {"N", "", "", ""};
    EXPECT_EQ(CollectSheetRows({Comment("n", 0, 0, "x")}, {}, outcomes).at(0).decision,
              "Do Not Apply");
}

TEST_F(SheetTest, ADamagedPositionStillGivesALink) {
    SheetComment comment = Comment("n", 0, 0, "x");
    EXPECT_EQ(CollectSheetRows({comment}, {}).at(0).link, "page 1");
    comment.hasPosition = true;
    comment.x = std::numeric_limits<double>::quiet_NaN();
    comment.y = std::numeric_limits<double>::infinity();
    const auto rows = CollectSheetRows({comment}, {});
    EXPECT_EQ(rows.at(0).link, "page 1 (0, 0)");
}

TEST_F(SheetTest, AnEmptyReviewGivesTheHeadingsOnly) {
    const std::string csv = SheetCsv({});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBFNo.,Page,Discipline,Author,Date,Type,Comment,Replies,Decision,"
              "Decision summary,Feedback,Link\r\n");
    EXPECT_TRUE(CollectSheetRows({}, {{"n", "Y"}}).empty());
}

TEST_F(SheetTest, TheCsvReadsBackCellForCell) {
    SheetComment awkward = Comment("n1", 0, 0, "pipe, 2\" \"bend\"\nsecond line\r\nthird");
    awkward.contents = kReviewAnsi + ", \"" + kPipingAnsi + "\"\n" + awkward.contents;
    awkward.replies = {{"a-b", "x,y"}, {"c-d", "multi\nline"}};
    SheetComment plain = Comment("n2", 3, 0, kPipingAnsi);
    std::map<std::string, review::CommentOutcome> outcomes;
    outcomes["n1"] = {"", "", "", "  leading blanks"};
    const auto rows = CollectSheetRows({awkward, plain}, {{"n2", "N"}}, outcomes);

    const std::string csv = SheetCsv(rows);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
    std::vector<std::vector<std::string>> records;
    ASSERT_TRUE(test::ReadCsv(csv.substr(3), records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], SheetHeadings());
    EXPECT_EQ(records[1], SheetCells(rows[0]));
    EXPECT_EQ(records[2], SheetCells(rows[1]));
    EXPECT_EQ(records[1][7], "a-b: x,y\nc-d: multi\nline");
    EXPECT_EQ(records[2][6], kPipingUtf8);
    EXPECT_EQ(records[2][8], "Do Not Apply");
}

TEST_F(SheetTest, SavingReplacesAnOlderSheetWhole) {
    const auto dir = std::filesystem::temp_directory_path() / "quill_sheet_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "sheet.csv").string();
    { std::ofstream(path) << "an older and much longer sheet that must not leave a tail"; }
    const auto rows = CollectSheetRows({Comment("n", 0, 0, kReviewAnsi)}, {});
    std::string error;
    ASSERT_TRUE(SaveSheetCsv(path, rows, &error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    EXPECT_EQ(read.str(), SheetCsv(rows));
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));

    EXPECT_FALSE(SaveSheetCsv((dir / "missing" / "sheet.csv").string(), rows, &error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove_all(dir);
}

TEST_F(SheetTest, IndexEntriesBecomeComments) {
    app::CommentIndex index;
    index["a"].pageIndex = 4;
    index["a"].listPosition = 2;
    index["a"].author = "kim-civil";
    index["a"].contents = "text";
    index["a"].feedbackStatus = app::kFeedbackApply;
    const auto comments = SheetCommentsFromIndex(index);
    ASSERT_EQ(comments.size(), 1u);
    EXPECT_EQ(comments[0].name, "a");
    EXPECT_EQ(comments[0].pageIndex, 4);
    EXPECT_EQ(comments[0].order, 2);
    EXPECT_EQ(comments[0].contents, "text");
    EXPECT_EQ(CollectSheetRows(comments, {}).at(0).decision, "Apply");
}

}  // namespace
}  // namespace quill::session
