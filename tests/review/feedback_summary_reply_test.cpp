#include "review/feedback_summary_reply.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/code_page.h"

using namespace quill::review;

namespace {

FeedbackSummaryTexts Read(const std::string& reply, bool expectOk = true) {
    FeedbackSummaryTexts texts{"untouched", "untouched"};
    EXPECT_EQ(ReadFeedbackSummary(reply, texts), expectOk) << reply;
    return texts;
}

TEST(FeedbackSummaryReplyTest, TheLastElementsTextsTrimmedAtBothEnds) {
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":" \r\nfirst\t","OUTCOM_CONT":"one "},)"
                   R"({"CMPLT_RPT_CONT":"\n second report \n","OUTCOM_CONT":"\ttwo"}]})"),
              (FeedbackSummaryTexts{"second report", "two"}));
    // An empty report of the last element empties the edit, whatever came before it.
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":"a","OUTCOM_CONT":"b"},)"
                   R"({"CMPLT_RPT_CONT":"","OUTCOM_CONT":"c"}]})"),
              (FeedbackSummaryTexts{"", "c"}));
    EXPECT_EQ(Read(R"({"summary":[]})"), (FeedbackSummaryTexts{"", ""}));
}

TEST(FeedbackSummaryReplyTest, TextsStayUtf8WhateverTheSystemCodePage) {
    quill::platform::SetSystemCodePageForTesting("CP949");
    // "검토 완료" escaped and raw: both come back as the same UTF-8 bytes.
    const std::string korean = "\xea\xb2\x80\xed\x86\xa0 \xec\x99\x84\xeb\xa3\x8c";
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":"\uAC80\uD1A0 \uC644\uB8CC",)"
                   R"("OUTCOM_CONT":" )" +
                   korean + R"( "}]})"),
              (FeedbackSummaryTexts{korean, korean}));
    quill::platform::SetSystemCodePageForTesting("");
}

TEST(FeedbackSummaryReplyTest, MembersOfOtherTypesReadAsEmptyNeverThrow) {
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":12,"OUTCOM_CONT":{"a":1}}]})"),
              (FeedbackSummaryTexts{"", ""}));
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":["x"],"OUTCOM_CONT":null}]})"),
              (FeedbackSummaryTexts{"", ""}));
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":true}]})"), (FeedbackSummaryTexts{"", ""}));
    // Elements that are no objects give empty texts too.
    EXPECT_EQ(Read(R"({"summary":[{"CMPLT_RPT_CONT":"a","OUTCOM_CONT":"b"},"text"]})"),
              (FeedbackSummaryTexts{"", ""}));
    EXPECT_EQ(Read(R"({"summary":[7, [1], null]})"), (FeedbackSummaryTexts{"", ""}));
}

TEST(FeedbackSummaryReplyTest, NoSummaryArrayIsAFailureThatLeavesTheTexts) {
    const FeedbackSummaryTexts untouched{"untouched", "untouched"};
    const std::vector<std::string> replies = {
        "",
        "0",
        "<html>error</html>",
        R"({"errorCode":101,"errorMsg":"x"})",
        R"({ "summary":[]})",
        R"({"summary":{"CMPLT_RPT_CONT":"a"}})",
        R"({"summary":"text"})",
        R"({"summary":null})",
        R"({"summary":[{"CMPLT_RPT_CONT":"a")",
        R"(x{"summary":[]})",
        std::string(R"({"summary":)") + std::string(5000, '[')};
    for (const std::string& reply : replies) EXPECT_EQ(Read(reply, false), untouched) << reply;
}

}  // namespace
