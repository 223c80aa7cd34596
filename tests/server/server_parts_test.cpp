// The server's own parsers and writers: form and percent codec, numbers, comment blobs,
// fault specs, JSON text and document names.
#include <gtest/gtest.h>

#include "review/query_encoding.h"
#include "server/comment_blob.h"
#include "server/fault_injector.h"
#include "server/json_text.h"
#include "server/request_params.h"
#include "server/review_routes.h"

using namespace quill;
using namespace quill::review;

using namespace quillserver;

TEST(ServerForm, DecodesLikeTheClientEncodes) {
    auto p = ParseForm("CMD=AUTOSAVE&object=%2541%25&NM=a%20b+c&empty=&&novalue&=skipped&x=%ZZ%4&");
    EXPECT_EQ(p.Get("CMD"), "AUTOSAVE");
    EXPECT_EQ(p.Get("object"), "%41%");
    EXPECT_EQ(PercentDecode(p.Get("object")), "A%");
    EXPECT_EQ(p.Get("nm"), "a b c");  // keys match in any case
    EXPECT_TRUE(p.Has("empty"));
    EXPECT_TRUE(p.Has("novalue"));
    EXPECT_EQ(p.Get("x"), "%ZZ%4");
    EXPECT_EQ(p.size(), 6u);  // CMD, object, NM, empty, novalue, x
    EXPECT_THROW(p.Need("empty"), BadRequest);
    EXPECT_THROW(p.Need("CMD", 3), BadRequest);
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    EXPECT_EQ(PercentDecode(PercentEncode(all)), all);
    EXPECT_EQ(PercentEncode("a-_.~ Z9"), "a%2D%5F%2E%7E%20Z9");
}

TEST(ServerForm, ReadsOnlyPlainDecimalNumbers) {
    int v = 0;
    EXPECT_TRUE(ParseInt32("-2147483648", v));
    EXPECT_EQ(v, -2147483648);
    EXPECT_TRUE(ParseInt32("2147483647", v));
    EXPECT_FALSE(ParseInt32("2147483648", v));
    EXPECT_FALSE(ParseInt32("99999999999999999999", v));
    EXPECT_FALSE(ParseInt32("12a", v));
    EXPECT_FALSE(ParseInt32(" 1", v));
    EXPECT_FALSE(ParseInt32("-", v));
    EXPECT_FALSE(ParseInt32("", v));
}

TEST(ServerCommentBlob, SplitsOnlyBlobsWhoseLengthsAddUp) {
    std::string blob = MakeCommentBlob("<<a>>", "<<p>>", "file");
    CommentBlobParts parts;
    ASSERT_TRUE(SplitCommentBlob(blob, parts));
    EXPECT_EQ(parts.content, "<<a>>");
    EXPECT_EQ(parts.subContent, "<<p>>");
    EXPECT_EQ(parts.fileContent, "file");
    EXPECT_FALSE(SplitCommentBlob(blob.substr(0, blob.size() - 1), parts));
    EXPECT_FALSE(SplitCommentBlob(blob + "x", parts));
    EXPECT_FALSE(SplitCommentBlob(blob.substr(0, 11), parts));
    EXPECT_FALSE(SplitCommentBlob(MakeCommentBlob("", "<<p>>", ""), parts));
    // Lengths near 2^32 must not wrap around the sum.
    std::string hostile = MakeCommentBlob("<<a>>", "", "");
    hostile[4] = hostile[5] = hostile[6] = hostile[7] = '\xFF';
    hostile[8] = '\x06';
    EXPECT_FALSE(SplitCommentBlob(hostile, parts));
}

TEST(ServerFaults, ReadsSpecsAndCountsHits) {
    FaultRule rule;
    std::string error;
    ASSERT_TRUE(FaultInjector::ParseRule("status:/Comm/update.do:404@2", rule, error)) << error;
    EXPECT_EQ(rule.kind, FaultKind::Status);
    EXPECT_EQ(rule.status, 404);
    EXPECT_EQ(rule.count, 2);
    ASSERT_TRUE(FaultInjector::ParseRule("delay:*:1500@*", rule, error)) << error;
    EXPECT_EQ(rule.delayMs, 1500);
    EXPECT_EQ(rule.count, -1);
    EXPECT_FALSE(FaultInjector::ParseRule("status:/x:99", rule, error));
    EXPECT_FALSE(FaultInjector::ParseRule("delay:/x", rule, error));
    EXPECT_FALSE(FaultInjector::ParseRule("drop:x", rule, error));
    EXPECT_FALSE(FaultInjector::ParseRule("drop:/x@0", rule, error));
    EXPECT_FALSE(FaultInjector::ParseRule("boom:/x", rule, error));

    FaultInjector faults;
    ASSERT_TRUE(FaultInjector::ParseRule("drop:/a@2", rule, error));
    faults.Add(rule);
    EXPECT_FALSE(faults.Take("/b", FaultKind::Drop));
    EXPECT_FALSE(faults.Take("/a", FaultKind::Status));
    EXPECT_TRUE(faults.Take("/a", FaultKind::Drop));
    EXPECT_TRUE(faults.Take("/a", FaultKind::Drop));
    EXPECT_FALSE(faults.Take("/a", FaultKind::Drop));
    EXPECT_TRUE(faults.Empty());
}

TEST(ServerJson, KeepsMemberOrderAndEscapesControlBytes) {
    JsonText json;
    json.BeginObject().Member("r", 0).Member("b", "q\"\\\n\x01\xEA\xB0\x80").Key("l").BeginArray();
    json.Str("1").Int(-2).BeginObject().EndObject().EndArray().EndObject();
    EXPECT_EQ(json.str(),
              "{\"r\":0,\"b\":\"q\\\"\\\\\\n\\u0001\xEA\xB0\x80\",\"l\":[\"1\",-2,{}]}");
    EXPECT_EQ(ErrorJson(101, "x"), "{\"errorCode\":101,\"errorMsg\":\"x\"}");
}

TEST(ServerDocuments, ServesOnlyPlainPdfNames) {
    EXPECT_TRUE(IsSafeDocumentName("sample-drawing.pdf"));
    EXPECT_TRUE(IsSafeDocumentName("A_1.v2.pdf"));
    EXPECT_FALSE(IsSafeDocumentName("../x.pdf"));
    EXPECT_FALSE(IsSafeDocumentName(".hidden.pdf"));
    EXPECT_FALSE(IsSafeDocumentName("a..pdf"));
    EXPECT_FALSE(IsSafeDocumentName("a/b.pdf"));
    EXPECT_FALSE(IsSafeDocumentName("a.txt"));
    EXPECT_FALSE(IsSafeDocumentName("a b.pdf"));
    EXPECT_EQ(DocIdOf(1001, 1), "10011");
}
