#include "review/review_replies.h"

#include <gtest/gtest.h>

using namespace quill;
using namespace quill::review;

namespace {

TEST(ReviewRepliesTest, PublishReplyIsAnOptionalMinusThenDigitsOnly) {
    int32_t value = 99;
    EXPECT_TRUE(ReadReplyNumber("12", value));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(ReadReplyNumber("-3", value));
    EXPECT_EQ(value, -3);
    value = 99;
    EXPECT_FALSE(ReadReplyNumber("12a", value));
    EXPECT_EQ(value, 99);  // untouched on failure
    EXPECT_TRUE(ReadReplyNumber("", value));
    EXPECT_EQ(value, 0);
    value = 99;
    EXPECT_TRUE(ReadReplyNumber("-", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(ReadReplyNumber(" 12", value));
    EXPECT_FALSE(ReadReplyNumber("+12", value));
    EXPECT_FALSE(ReadReplyNumber("{\"revno\":\"1\"}", value));
    EXPECT_TRUE(ReadReplyNumber("2147483647", value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(ReadReplyNumber("-2147483648", value));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_FALSE(ReadReplyNumber("2147483648", value));
    EXPECT_FALSE(ReadReplyNumber("99999999999999999999999", value));
    EXPECT_TRUE(IsSuccessReply("0"));
    EXPECT_FALSE(IsSuccessReply("00"));
    EXPECT_FALSE(IsSuccessReply(""));
}

TEST(ReviewRepliesTest, JsonRepliesAreRecognisedByTheirExactOpening) {
    EXPECT_TRUE(IsJsonReply("{\"revno\":\"3\"}", kRevnoOpening));
    EXPECT_FALSE(IsJsonReply("{ \"revno\": \"3\" }", kRevnoOpening));
    EXPECT_FALSE(IsJsonReply("<html>error</html>", kRevnoOpening));
    int32_t revno = -1;
    EXPECT_TRUE(ReadRevisionReply("{\"revno\":\"3\"}", revno));
    EXPECT_EQ(revno, 3);
    EXPECT_TRUE(ReadRevisionReply("{\"revno\":0}", revno));
    EXPECT_EQ(revno, 0);
    EXPECT_FALSE(ReadRevisionReply("{\"revno\":\"3\"", revno));  // cut short
    EXPECT_FALSE(ReadRevisionReply("{\"revno\":[1]}", revno));
    Json::Value root;
    std::string error;
    EXPECT_FALSE(ParseJsonReply("{\"cmnt\":[1,}", kParticipantsOpening, root, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ParseJsonReply("{\"cmnt\":[{\"PATCP_SEQ\":1}]}", kParticipantsOpening, root));
    EXPECT_EQ(root["cmnt"][0]["PATCP_SEQ"].asInt(), 1);
    // Nesting deeper than the reader's limit is a failed reply, never an exception.
    EXPECT_FALSE(ReadRevisionReply("{\"revno\":" + std::string(5000, '['), revno));
    EXPECT_FALSE(
        ParseJsonReply("{\"cmnt\":" + std::string(5000, '{'), kParticipantsOpening, root, &error));
}

TEST(ReviewRepliesTest, ReviewDecisionsFollowMemberNameOrder) {
    std::vector<ReviewDecision> decisions;
    ASSERT_TRUE(ReadReviewDecisions(
        "{\"cmntReview\":["
        "{\"CMNT_ID\":\"c1\",\"REVIEW_YN\":\"Y\"},"
        "{\"REVIEW_YN\":\"N\",\"CMNT_ID\":\"c2\"},"
        "{\"A_DECISION\":\"C\",\"B_ID\":\"c3\"},"  // decision before the id: nothing
        "{\"CMNT_ID\":\"c4\",\"NO\":7,\"REVIEW_YN\":\"C\"},"
        "\"stray\","
        "{\"CMNT_ID\":\"c5\"}"
        "]}",
        decisions));
    std::vector<ReviewDecision> expected = {{"c1", "Y"}, {"c2", "N"}, {"c4", "C"}};
    EXPECT_EQ(decisions, expected);

    EXPECT_FALSE(ReadReviewDecisions("{\"cmntReview\":{}}", decisions));
    EXPECT_FALSE(ReadReviewDecisions("{\"other\":[]}", decisions));
    EXPECT_FALSE(ReadReviewDecisions("", decisions));
}

}  // namespace
