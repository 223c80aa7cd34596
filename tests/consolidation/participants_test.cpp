// The participants and the engineer list: the server's lists read tolerantly, who is waiting,
// and the list's order.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/code_page.h"
#include "session/engineer_list.h"
#include "session/participants.h"

using namespace quill;
using namespace quill::app;
using namespace quill::session;

namespace {

TEST(ParticipantReplies, MembersOfAnotherTypeAreReadTolerantly) {
    std::vector<ParticipantRow> rows;
    ASSERT_TRUE(ReadParticipantRows(
        "{\"cmnt\":[{\"PATCP_SEQ\":\"3\",\"FST_REG_USER_ID\":7,\"SITE_USE_NM\":\" Piping \","
        "\"USER_KNM\":[\"x\"]},\"not an object\",{\"PATCP_SEQ\":1e300},{\"PATCP_SEQ\":true},"
        "{\"PATCP_SEQ\":4,\"USER_KNM\":\"\\uAE40 \"}]}",
        rows));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].participantSeq, 3);
    EXPECT_EQ(rows[0].userId, "7");
    EXPECT_EQ(rows[0].discipline, "Piping");
    EXPECT_EQ(rows[0].name, "");
    EXPECT_EQ(rows[1].participantSeq, 0);
    EXPECT_EQ(rows[2].participantSeq, 0);
    EXPECT_EQ(rows[3].participantSeq, 4);
    platform::SetSystemCodePageForTesting("CP949");
    ASSERT_TRUE(ReadParticipantRows("{\"cmnt\":[{\"USER_KNM\":\"\\uAE40 \"}]}", rows));
    EXPECT_EQ(rows[0].name, "\xB1\xE8");  // trimmed, in the system code page
    platform::SetSystemCodePageForTesting("");

    // cmnt that is no array holds no rows; no object at all is a failure.
    EXPECT_TRUE(ReadParticipantRows("{\"cmnt\":{\"PATCP_SEQ\":1}}", rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(ReadParticipantRows("{\"cmnt\":[", rows));
    EXPECT_FALSE(ReadParticipantRows("[{\"cmnt\":[]}]", rows));
    EXPECT_FALSE(ReadParticipantRows("", rows));

    std::vector<LastModifiedRow> dates;
    ASSERT_TRUE(ReadLastModifiedRows(
        "{\"lastmodifieddate\":[{\"FST_REG_USER_ID\":\"elec1\",\"FINISH_DT\":20261201,"
        "\"CMNT_DT\":\" 20261202 \",\"SQURVW_CMNT_MNO\":null}]}",
        dates));
    ASSERT_EQ(dates.size(), 1u);
    EXPECT_EQ(dates[0].finishDate, "20261201");
    EXPECT_EQ(dates[0].commentDate, "20261202");
    EXPECT_EQ(dates[0].commentNo, "");
    EXPECT_TRUE(ReadLastModifiedRows("{\"lastmodifieddate\":\"none\"}", dates));
    EXPECT_TRUE(dates.empty());
}

TEST(ParticipantReplies, DateDigitsAreAddedUpWithoutOverflow) {
    EXPECT_EQ(DateDigitsValue("20261207101500"), 20261207101500);
    EXPECT_EQ(DateDigitsValue(""), 0);
    // No check of the characters: "1a" is 1*10 + ('a' - '0').
    EXPECT_EQ(DateDigitsValue("1a"), 10 + ('a' - '0'));
    // Far past 64 bits: some value, never undefined behaviour.
    const int64_t big = DateDigitsValue(std::string(400, '9'));
    (void)big;
    EXPECT_EQ(DateDigitsValue("9223372036854775807"), std::numeric_limits<int64_t>::max());
}

TEST(ParticipantTableTest, NewerCommentsAndMatchingAuthors) {
    ParticipantTable table;
    AddParticipants(table, {{2, "reviewer1", "Piping", "Kim Minsu"},
                            {9, "reviewer1", "Other", "Someone"},
                            {3, "elec1", "Electrical", "Lee Jihoon"},
                            {5, "blank", "", ""}});
    EXPECT_EQ(table.at("reviewer1").participantSeq, 2);  // the first row wins
    MarkNewerComments(table, {{"1", "elec1", "20261201090000", "20261201100000"},
                              {"2", "reviewer1", "20261201100000", "20261201100000"},
                              {"3", "unknown", "", "1"}});
    EXPECT_TRUE(table.at("elec1").hasNewerComments);
    EXPECT_FALSE(table.at("reviewer1").hasNewerComments);
    // An empty name and discipline occur in every author text but match nobody.
    EXPECT_EQ(MatchAuthor(table, "Nobody-Ghost"), nullptr);
    const Participant* lee = MatchAuthor(table, "Lee Jihoon-Electrical");
    ASSERT_NE(lee, nullptr);
    EXPECT_EQ(lee->participantSeq, 3);
}

CommentEntry Entry(int annotIndex, int page, const std::string& author, const std::string& date) {
    CommentEntry entry;
    entry.annotIndex = annotIndex;
    entry.pageIndex = page;
    entry.author = author;
    entry.date = date;
    return entry;
}

TEST(EngineerListOrder, WaitingFirstTrimmedAndNoAuthorLost) {
    ParticipantTable table;
    AddParticipants(table, {{3, "elec1", "Electrical", "Lee Jihoon"},
                            {4, "struct1", "Structural", "Park Seojun"},
                            {2, "reviewer1", "Piping", "Kim Minsu"}});
    table["elec1"].hasNewerComments = true;
    table["struct1"].hasNewerComments = true;
    CommentIndex index;
    // Two waiting authors whose first comments have the same date and the same index (on
    // different pages): their keys are equal, and both stay.
    index["A1"] = Entry(0, 0, " Lee Jihoon-Electrical ", "2026-12-01 10:00:00");
    index["A2"] = Entry(0, 1, "Park Seojun-Structural", "2026-12-01 10:00:00");
    index["A3"] = Entry(1, 0, "Kim Minsu-Piping", "2026-11-30 09:00:00");
    index["A4"] = Entry(2, 0, "Lee Jihoon-Electrical", "2026-12-03 10:00:00");
    EngineerIndex engineers;
    engineers["Park Seojun-Structural"].summary = "typed before";
    auto list = OrderEngineerList(CollectAuthors(index, table), engineers);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].author, "Lee Jihoon-Electrical");
    EXPECT_EQ(list[1].author, "Park Seojun-Structural");
    EXPECT_EQ(list[2].author, "Kim Minsu-Piping");
    EXPECT_EQ(list[0].dateDigits, "20261201100000");
    EXPECT_EQ(index["A1"].author, "Lee Jihoon-Electrical");
    EXPECT_FALSE(engineers["Lee Jihoon-Electrical"].consolidationFinished);
    EXPECT_FALSE(engineers["Park Seojun-Structural"].consolidationFinished);
    EXPECT_TRUE(engineers["Kim Minsu-Piping"].consolidationFinished);
    // Reopening the page keeps what was typed.
    EXPECT_EQ(engineers["Park Seojun-Structural"].summary, "typed before");

    // The summary edit: only waiting engineers take it, trimmed.
    EXPECT_TRUE(StoreSummary(engineers, {"Lee Jihoon-Electrical", "Kim Minsu-Piping"}, " ok \n"));
    EXPECT_EQ(engineers["Lee Jihoon-Electrical"].summary, "ok");
    EXPECT_EQ(engineers["Kim Minsu-Piping"].summary, "");
    EXPECT_FALSE(StoreSummary(engineers, {"Kim Minsu-Piping"}, "x"));
    EXPECT_FALSE(StoreSummary(engineers, {}, "x"));
}

}  // namespace
