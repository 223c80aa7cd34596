// The comment queue end to end over HTTP: saving, counting, dropping, publishing, fetching back,
// attachments, moves, and a restart in the middle.
#include <gtest/gtest.h>

#include "queue_requests.h"

using namespace servertest;
using testsupport::ReviewServerProcess;

namespace {

const char kNm1[] = "11111111-1111-1111-1111-111111111111";
const char kNm2[] = "22222222-2222-2222-2222-222222222222";
const char kReply[] = "33333333-3333-3333-3333-333333333333";
const char kFileNm[] = "44444444-4444-4444-4444-444444444444";

std::string Revision(const ReviewServerProcess& s, int rev) {
    return s
        .Get("/Comm/revision.do?docId=10011&rev=" + std::to_string(rev) +
             "&squrvwmno=1001&rvwfileseq=1")
        .body;
}

std::string Count(const ReviewServerProcess& s, const std::string& user) {
    return s.Get("/Comm/checkautosaved.do?docId=10011&userId=" + user).body;
}

Json::Value Update(const ReviewServerProcess& s, int rev) {
    return ParseJson(
        s.Get("/Comm/update.do?CMD=UPDATE&docId=10011&rev=" + std::to_string(rev) + "&").body);
}

class QueueCycle : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()) << server.error(); }
    ReviewServerProcess server;
};

}  // namespace

TEST_F(QueueCycle, ItemsStayUnpublishedUntilTheirAuthorPublishes) {
    Change create =
        Item(kNm1, Blob(Annot(kNm1, 0), "<</Type/Annot/Subtype/Popup/Parent 2 0 R /Page 0>>"));
    auto reply = Send(server, create);
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.rfind("{\"r\":0,", 0), 0u) << reply.body;
    Change update = create;
    update.action = 1;
    update.blob = Blob(Annot(kNm1, 0, "/Contents(moved a bit)"));
    ASSERT_EQ(Send(server, update).status, 200);
    Change other = Item(kNm2, Blob(Annot(kNm2, 1)), 0, "elec1");
    other.page = 1;
    ASSERT_EQ(Send(server, other).status, 200);

    EXPECT_EQ(Count(server, "reviewer1"), "2");
    EXPECT_EQ(Count(server, "elec1"), "1");
    EXPECT_EQ(Revision(server, 0), "{\"revno\":\"0\"}");
    EXPECT_EQ(Update(server, 0)["docQ"].size(), 0u);

    EXPECT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    EXPECT_EQ(Count(server, "reviewer1"), "0");
    EXPECT_EQ(Count(server, "elec1"), "1");
    // Two items of one comment count as one published comment.
    EXPECT_EQ(Revision(server, 0), "{\"revno\":\"1\"}");
    EXPECT_EQ(Revision(server, 1), "{\"revno\":\"0\"}");

    auto list = Update(server, 0)["docQ"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["ACTION_TYPE"].asInt(), 0);
    EXPECT_EQ(list[1]["ACTION_TYPE"].asInt(), 1);
    EXPECT_TRUE(list[0]["REVISION_NO"].isInt());
    EXPECT_TRUE(list[0]["PAGE_NO"].isInt());
    EXPECT_TRUE(list[0]["q_ID"].isString());
    EXPECT_EQ(list[0]["REVISION_NO"].asInt(), 1);
    EXPECT_EQ(list[0]["NM"].asString(), kNm1);
    EXPECT_EQ(list[0]["USER_ID"].asString(), "reviewer1");
    EXPECT_EQ(list[0]["DOC_ID"].asString(), "10011");
    EXPECT_EQ(list[0]["q_TYPE"].asString(), "A");
    EXPECT_FALSE(list[0]["CREATE_DATE"].asString().empty());
    // The blob comes back byte for byte.
    EXPECT_EQ(Unescape(list[0]["OBJECT"].asString()), create.blob);
    EXPECT_EQ(Unescape(list[1]["OBJECT"].asString()), update.blob);

    // Publishing with nothing queued answers the latest revision without raising it.
    EXPECT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    EXPECT_EQ(server.Get("/Comm/publish.do?userid=elec1&docid=10011").body, "2");
    list = Update(server, 1)["docQ"];
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["REVISION_NO"].asInt(), 2);
    EXPECT_EQ(list[0]["PAGE_NO"].asInt(), 1);
}

TEST_F(QueueCycle, RepliesDeletesAndMovesTravelInSaveOrder) {
    ASSERT_EQ(Send(server, Item(kNm1, Blob(Annot(kNm1, 2)))).status, 200);
    Change reply = Item(kReply, Blob("<</Type/Annot/Subtype/Text/IRT(" + std::string(kNm1) +
                                     ")/NM(" + kReply + ")/Page 2>>"));
    reply.irt = kNm1;
    reply.page = 2;
    ASSERT_EQ(Send(server, reply).status, 200);
    Change move = With(Item(kNm1, "", 3), &Change::movePage, 0);
    move.page = 2;
    auto moved = Send(server, move);
    EXPECT_EQ(moved.body, "0");
    Change deleteReply = With(Item(kReply, "", 2), &Change::irt, std::string(kNm1));
    deleteReply.page = 2;
    EXPECT_NE(Send(server, deleteReply).body.find("{\"r\":0"), std::string::npos);
    EXPECT_EQ(Count(server, "reviewer1"), "4");
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");

    auto list = Update(server, 0)["docQ"];
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1]["IRT"].asString(), kNm1);
    EXPECT_EQ(list[2]["ACTION_TYPE"].asInt(), 3);
    EXPECT_EQ(list[2]["OBJECT"].asString(), "");
    EXPECT_EQ(list[3]["ACTION_TYPE"].asInt(), 2);
    EXPECT_EQ(list[3]["OBJECT"].asString(), "");
}

TEST_F(QueueCycle, ClearDropsOnlyTheUsersUnpublishedItems) {
    ASSERT_EQ(Send(server, Item(kNm1, Blob(Annot(kNm1, 0)))).status, 200);
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    ASSERT_EQ(Send(server, Item(kNm2, Blob(Annot(kNm2, 0)))).status, 200);
    ASSERT_EQ(Send(server, Item(kReply, Blob(Annot(kReply, 0)), 0, "elec1")).status, 200);
    EXPECT_EQ(server.Get("/Comm/deletequeue.do?docId=10011&userId=reviewer1").body, "0");
    EXPECT_EQ(Count(server, "reviewer1"), "0");
    EXPECT_EQ(Count(server, "elec1"), "1");
    EXPECT_EQ(Update(server, 0)["docQ"].size(), 1u);
    // Nothing left to publish: the revision stays.
    EXPECT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
}

TEST_F(QueueCycle, AttachmentsComeThroughTheirOwnList) {
    std::string file = "<</Type/EmbeddedFile/Length 5>>stream\r\nhello\r\nendstream";
    std::string annot =
        "<</Type/Annot/Subtype/FileAttachment/FS<</Type/Filespec/F(a.txt)/EF<</F 4 0 R>>>>/NM(" +
        std::string(kFileNm) + ")/Page 0>>";
    ASSERT_EQ(Send(server, Item(kFileNm, Blob(annot, "", file))).status, 200);
    ASSERT_EQ(Send(server, Item(kNm1, Blob(Annot(kNm1, 0)))).status, 200);
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    ASSERT_EQ(Send(server, Item(kNm2, Blob(Annot(kNm2, 0)))).status, 200);
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "2");

    EXPECT_EQ(server.Get("/Comm/fileAttachlist.do?docId=10011&rev=0").body, "{\"rev\":[\"1\"]}");
    EXPECT_EQ(server.Get("/Comm/fileAttachlist.do?docId=10011&rev=1").body, "{\"rev\":[]}");
    auto files =
        ParseJson(server.Get("/Comm/updateFileAttach.do?CMD=UPDATE_FILE_ATTACH&docId=10011&rev=1&")
                      .body)["docQ"];
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]["NM"].asString(), kFileNm);
    EXPECT_EQ(Unescape(files[0]["OBJECT"].asString()), Blob(annot, "", file));
    auto plain = Update(server, 0)["docQ"];
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0]["NM"].asString(), kNm1);
    EXPECT_EQ(plain[1]["NM"].asString(), kNm2);
}

TEST_F(QueueCycle, LargestAttachmentPasses) {
    // 10,000,000 bytes of embedded file, every byte escaped twice on the wire (about 50 MB).
    std::string data(10000000, '\xFF');
    std::string file = "<</Type/EmbeddedFile/Length 10000000>>stream\r\n" + data + "\r\nendstream";
    std::string annot =
        "<</Type/Annot/Subtype/FileAttachment/FS<</F(big.bin)/EF<</F 4 0 R>>>>/NM(" +
        std::string(kFileNm) + ")/Page 0>>";
    auto reply = Send(server, Item(kFileNm, Blob(annot, "", file)));
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.rfind("{\"r\":0,", 0), 0u) << reply.body.substr(0, 200);
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    auto files = ParseJson(server.Get("/Comm/updateFileAttach.do?docId=10011&rev=1").body)["docQ"];
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Unescape(files[0]["OBJECT"].asString()).size(), Blob(annot, "", file).size());
}

TEST_F(QueueCycle, RestartInTheMiddleLosesNothing) {
    ASSERT_EQ(Send(server, Item(kNm1, Blob(Annot(kNm1, 0)))).status, 200);
    ASSERT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "1");
    ASSERT_EQ(Send(server, Item(kNm2, Blob(Annot(kNm2, 0)))).status, 200);
    ASSERT_EQ(server
                  .Get("/Comm/"
                       "cmntDtl.do?squrvwmno=1001&patcpseq=2&repatcpseq=0&userid=reviewer1&"
                       "rvwfileseq=1&inchrguserid=opener1&cmntid=" +
                       std::string(kNm1) + "&cmnt=x")
                  .body,
              "0");
    // A crash, not a clean stop: everything answered before it must be on disk.
    server.Kill();
    ASSERT_TRUE(server.Restart()) << server.error();
    EXPECT_EQ(Count(server, "reviewer1"), "1");
    EXPECT_EQ(Revision(server, 0), "{\"revno\":\"1\"}");
    EXPECT_EQ(server.Get("/Comm/publish.do?userid=reviewer1&docid=10011").body, "2");
    EXPECT_EQ(Update(server, 0)["docQ"].size(), 2u);
    EXPECT_NE(server.Get("/Comm/revcmnt.do?squrvwmno=1001&rvwfileseq=1").body.find(kNm1),
              std::string::npos);
}
