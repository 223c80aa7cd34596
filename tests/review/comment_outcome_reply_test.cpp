#include "review/comment_outcome_reply.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace quill::review;

namespace {

using Outcomes = std::map<std::string, CommentOutcome>;

TEST(CommentOutcomeReplyTest, EachCommentGetsItsDecisionFeedbackAndTexts) {
    Outcomes outcomes;
    ASSERT_TRUE(ReadCommentOutcomes(
        R"({"cmntOutcome":[{"CMNT_ID":"A","RVW_YN":"Y","RVW_CONT":"ok, \"done\"","FDBK_YN":"N",)"
        R"("FDBK_CONT":"\uBC30\uAD00"},{"CMNT_ID":"B","RVW_YN":"","RVW_CONT":"","FDBK_YN":"",)"
        R"("FDBK_CONT":""}]})",
        outcomes));
    EXPECT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes["A"],
              (CommentOutcome{"Y", "ok, \"done\"", "N", "\xEB\xB0\xB0\xEA\xB4\x80"}));
    EXPECT_EQ(outcomes["B"], CommentOutcome{});
}

TEST(CommentOutcomeReplyTest, HostileElementsAreSkippedOrReadEmpty) {
    Outcomes outcomes;
    ASSERT_TRUE(ReadCommentOutcomes(
        R"({"cmntOutcome":[7,[],{"CMNT_ID":3},{"RVW_YN":"Y"},{"CMNT_ID":""},)"
        R"({"CMNT_ID":"C","RVW_YN":"maybe","RVW_CONT":{"a":1},"FDBK_YN":["Y"],"FDBK_CONT":5}]})",
        outcomes));
    ASSERT_EQ(outcomes.size(), 1u);
    // An unknown flag is no decision; members of other types read empty.
    EXPECT_EQ(outcomes["C"], CommentOutcome{});
}

TEST(CommentOutcomeReplyTest, TextsThatAreNoUtf8AreMadeWellFormed) {
    // A server that stored the system code page's bytes ("검토" in CP949), a cut-off sequence,
    // an overlong "/" and a surrogate: each bad byte becomes U+FFFD, good text stays.
    Outcomes outcomes;
    ASSERT_TRUE(ReadCommentOutcomes(std::string(R"({"cmntOutcome":[{"CMNT_ID":"A","FDBK_CONT":")") +
                                        "\xB0\xCB ok \xEB\xB0 \xC0\xAF \xED\xA0\x80 "
                                        "\xEB\xB0\xB0" +
                                        R"("}]})",
                                    outcomes));
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(outcomes["A"].feedbackText, bad + bad + " ok " + bad + bad + " " + bad + bad + " " +
                                              bad + bad + bad + " \xEB\xB0\xB0");
}

TEST(CommentOutcomeReplyTest, AReplyThatIsNoOutcomeListLeavesTheOutcomesAlone) {
    Outcomes outcomes{{"kept", {"Y", "", "", ""}}};
    for (const char* reply : {"", "0", "ERROR: not found", R"({"cmntReview":[]})",
                              R"({"cmntOutcome":{}})", R"({"cmntOutcome":[)", "{\"cmntOutcome\":"})
        EXPECT_FALSE(ReadCommentOutcomes(reply, outcomes)) << reply;
    EXPECT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(ReadCommentOutcomes(R"({"cmntOutcome":[]})", outcomes));
    EXPECT_TRUE(outcomes.empty());
}

}  // namespace
