#include <gtest/gtest.h>

#include "sync/base_exception.h"
#include "sync/wire/autosave_reply.h"
#include "sync/wire/comment_blob.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/queue_requests.h"
#include "sync/wire/update_reply.h"
#include "sync/wire/uri_codec.h"

using namespace quill;
using namespace quill::sync;

namespace {

BinaryContent ContentOf(const std::string& text) {
    BinaryContent c;
    c.content = std::make_unique<ByteBuffer>(ByteBuffer::Copy(text));
    return c;
}

}  // namespace

TEST(UriCodec, EncodesEveryByteButLettersAndDigitsAndDecodesBack) {
    const std::string bytes("Az09 -_.~%+\0\xFF", 13);
    const std::string encoded = UriEncodeForByteArray(bytes);
    EXPECT_EQ(encoded, "Az09%20%2D%5F%2E%7E%25%2B%00%FF");
    EXPECT_EQ(UriDecode2ByteArray(encoded).view(), bytes);
    EXPECT_EQ(UriDecode2ByteArray("a+b%2f%ZZ%4").view(), "a b/%ZZ%4");
    EXPECT_EQ(UriDecode2ByteArray("%").view(), "%");
    ByteBuffer decoded = UriDecode2ByteArray("%41%4");
    EXPECT_EQ(decoded.length(), 3);
    EXPECT_EQ(decoded.data()[3], '\0');
}

TEST(QueueItems, CarryTheirContentAsAnEncodedBlobAndReadBack) {
    BinaryContent content = ContentOf("<</NM(A%B)>>");
    content.subContent = std::make_unique<ByteBuffer>(ByteBuffer::Copy("<<popup>>"));
    auto item = createDocQueueModel("DOC1", kActionCreate, "A", 4, "", "kim", "A%B", &content, 7);
    EXPECT_EQ(item->annotIndex, 7);
    EXPECT_EQ(item->IRT, "");
    EXPECT_EQ(item->revision, -1);
    EXPECT_EQ(item->object, UriEncodeForByteArray(MakeCommentBlob(content).view()));
    EXPECT_NE(item->object.find("%25"), std::string::npos);  // the percent sign, escaped once

    auto annot = createAnnotModel(*item);
    EXPECT_EQ(annot->page, 4);
    EXPECT_EQ(annot->uniqueName, "A%B");
    EXPECT_EQ(annot->content->content->view(), "<</NM(A%B)>>");
    EXPECT_EQ(annot->content->subContent->view(), "<<popup>>");

    auto replyItem =
        createDocQueueModel("DOC1", kActionDelete, "A", 1, "", "kim", "R1", nullptr, "A%B");
    EXPECT_EQ(replyItem->object, "");
    auto reply = createAnnotModel(*replyItem, asReply);
    EXPECT_EQ(reply->inReplyTo, "A%B");
    EXPECT_EQ(reply->content, nullptr);

    replyItem->object = "%01%00%00%00%00%00%00%00%00%00%00%00";  // one byte promised, none sent
    EXPECT_THROW(createAnnotModel(*replyItem, asReply), BaseException);
}

TEST(ParameterForm, SendsKeysInByteOrderWithEveryValueEscaped) {
    BinaryContent content = ContentOf("%");
    auto item = createDocQueueModel("D 1", kActionUpdate, "A", 0, "", "u-1_.~", "N", &content, 0);
    EXPECT_EQ(item->object, "%01%00%00%00%00%00%00%00%00%00%00%00%25");
    const std::string body = ParameterForm(AutoSaveRequest(*item));
    EXPECT_EQ(body,
              "CMD=AUTOSAVE&IRT=&NM=N&actionType=1&creationDate=&docId=D%201&"
              "object=%2501%2500%2500%2500%2500%2500%2500%2500%2500%2500%2500%2500%2525&"
              "pageNo=0&qType=A&targetId=u%2D1%5F%2E%7E&userId=u%2D1%5F%2E%7E&");
    item->movePageNo = 0;
    EXPECT_NE(ParameterForm(AutoSaveRequest(*item)).find("&movePageNo=0&object="),
              std::string::npos);
    item->movePageNo = -1;
    EXPECT_EQ(ParameterForm(AutoSaveRequest(*item)).find("movePageNo"), std::string::npos);
    EXPECT_EQ(ParameterForm(UpdateRequest(kCmdUpdate, "D1", 12)), "CMD=UPDATE&docId=D1&rev=12&");
}

TEST(ParamMaps, AbsentKeysReadAsEmptyText) {
    ParamMap map;
    EXPECT_EQ(map.Find("x"), nullptr);
    EXPECT_EQ(map["x"].type(), ParamValue::kText);
    EXPECT_EQ(map["x"].length(), 0u);
    EXPECT_TRUE(map.Has("x"));
    map["n"] = static_cast<int32_t>(-3);
    EXPECT_EQ(map["n"].length(), 4u);
    EXPECT_EQ(map["n"].AsText(), "-3");
}

TEST(UpdateReply, ReadsIntegerAndStringMembersOfEachDocQElement) {
    ParamMap reply;
    ReadReplyText(kCmdUpdate,
                  R"({"docQ":[{"REVISION_NO":5,"ACTION_TYPE":1,"PAGE_NO":"2","NM":"N1",)"
                  R"("OBJECT":"%41","q_ID":"q9","f":1.5,"b":true,"o":{},"a":[],"z":null},)"
                  R"( 7, {"NM":"N2","REVISION_NO":6}]})",
                  reply);
    const std::vector<ParamMap> list = ReadUpdateList(reply);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].size(), 6u);  // f, b, o, a and z dropped
    EXPECT_FALSE(list[0].Has("f"));
    EXPECT_FALSE(list[0].Has("b"));
    auto items = ReadQueueItems(reply);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->revision, 5);
    EXPECT_EQ(items[0]->actionType, 1);
    EXPECT_EQ(items[0]->pageNo, 2);
    EXPECT_EQ(items[0]->NM, "N1");
    EXPECT_EQ(items[0]->object, "%41");
    EXPECT_EQ(items[0]->queueId, "q9");
    EXPECT_EQ(items[1]->revision, 6);
    EXPECT_EQ(items[1]->actionType, -1);
}

TEST(UpdateReply, EmptyAbsentOrOddDocQGivesNoItems) {
    for (const char* text : {R"({"docQ":null})", "{}", "0", R"({"docQ":{"a":1}})", "[1,2]"}) {
        ParamMap reply;
        ReadReplyText(kCmdUpdateFileAttach, text, reply);
        EXPECT_FALSE(reply.Has("errorCode")) << text;
        EXPECT_TRUE(ReadQueueItems(reply).empty()) << text;
    }
}

TEST(UpdateReply, InvalidJsonAndServerErrorsBecomeExceptions) {
    ParamMap reply;
    ReadReplyText(kCmdUpdate, "{oops", reply);
    EXPECT_EQ(reply["errorCode"].integer(), 301);
    const std::string message = reply["errorMsg"].text();
    EXPECT_NE(message.find("* Line 1, Column 2"), std::string::npos) << message;
    EXPECT_NE(message.find("\ntarget text: {oops"), std::string::npos);
    try {
        ReadUpdateList(reply);
        FAIL();
    } catch (const BaseException& e) {
        EXPECT_EQ(e.code(), 301);
        EXPECT_EQ(e.message(), message);
    }
    ParamMap deep;
    ReadReplyText(kCmdUpdate, std::string(2000, '[') + std::string(2000, ']'), deep);
    EXPECT_EQ(deep["errorCode"].integer(), 301);
    EXPECT_NE(deep["errorMsg"].text().find("stackLimit"), std::string::npos);
    ParamMap server;
    ReadReplyText(kCmdAutoSave, R"({"r":1,"errorCode":77,"errorMsg":"busy","x":[1]})", server);
    EXPECT_EQ(server["r"].integer(), 1);
    EXPECT_EQ(server["errorCode"].integer(), 77);
    EXPECT_EQ(server["errorMsg"].text(), "busy");
    EXPECT_FALSE(server.Has("x"));
    EXPECT_THROW(ReadUpdateList(server), BaseException);
}

TEST(ParameterForm, DecodesBackToTheSameParameters) {
    ParamMap params;
    params["CMD"] = "AUTOSAVE";
    params["NM"] = std::string("\xB0\xA1 a&b=c%d+e\x01", 12);
    params["pageNo"] = static_cast<int32_t>(-7);
    params["object"] = UriEncodeForByteArray(std::string("\0\x25\xFF", 3));
    const std::string form = ParameterForm(params);
    ParamMap back;
    size_t at = 0;
    while (at < form.size()) {
        const size_t amp = form.find('&', at);
        ASSERT_NE(amp, std::string::npos);
        const std::string pair = form.substr(at, amp - at);
        const size_t eq = pair.find('=');
        ASSERT_NE(eq, std::string::npos);
        back[pair.substr(0, eq)] = UriDecode2ByteArray(pair.substr(eq + 1)).str();
        at = amp + 1;
    }
    ASSERT_EQ(back.size(), params.size());
    for (const auto& [key, value] : params) EXPECT_EQ(back[key].text(), value.AsText()) << key;
}
