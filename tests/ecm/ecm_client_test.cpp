// The content-store client against a scripted peer: what goes on the wire, and every reply
// that must not pass for success.
#include <gtest/gtest.h>

#include <string>

#include "ecm/ecm_client.h"
#include "ecm/ecm_replies.h"
#include "fake_request.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::ecm;
using namespace ecmtest;

namespace {

const std::string kToken = "0123456789abcdef0123456789ABCDEF";
const std::string kIdentifier = "QC20261207171500-0a1b2c3d";

class EcmClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetSystemCodePageForTesting("CP949");
        document_ = (dir_ / "result.pdf").string();
        testsupport::WriteFileBytes(document_, "%PDF-1.4\nbody\n");
    }
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }

    // Connects with the first reply of the script.
    void ConnectWith(EcmClient& client) { ASSERT_GT(client.Connect("127.0.0.1", 2104), 0); }

    testsupport::TempDir dir_;
    std::string document_;
    Script script_;
};

TEST_F(EcmClientTest, SessionValuesGoAsPercentEncodedUtf8) {
    script_.replies = {{1, kToken + "\r\n"}};
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener 1&x");
    client.SetLocCD("S01");
    client.SetSvrID("\xB1\xE8");  // a Korean syllable in code page 949
    client.SetHWND(0x1234);
    ASSERT_EQ(client.Connect("127.0.0.1", 2104), 1);
    EXPECT_EQ(client.HWND(), 0x1234u);
    ASSERT_EQ(script_.sent.size(), 1u);
    EXPECT_TRUE(script_.sent[0].post);
    EXPECT_EQ(script_.sent[0].target,
              "/ecm/connect?userId=opener%201%26x&locCd=S01&svrId=%EA%B9%80");
}

TEST_F(EcmClientTest, ConnectAcceptsOnlyA200WithAWellFormedToken) {
    struct Case {
        const char* what;
        ScriptedReply reply;
        int expected;
    };
    const Case cases[] = {
        {"refused", {0, "ERROR: userId is required"}, 0},
        {"transfer failed", {-1, ""}, -1},
        {"empty 200", {1, ""}, 0},
        {"short token", {1, kToken.substr(1)}, 0},
        {"long token", {1, kToken + "0"}, 0},
        {"not hexadecimal", {1, std::string(31, 'a') + "g"}, 0},
        {"token with a zero byte", {1, std::string(16, 'a') + std::string(1, '\0') + "b"}, 0},
        {"error text", {1, "ERROR: too many sessions"}, 0},
    };
    for (const Case& c : cases) {
        Script script;
        script.replies = {c.reply};
        EcmClient client(ScriptedFactory(script));
        client.SetUserID("opener1");
        EXPECT_EQ(client.Connect("127.0.0.1", 2104), c.expected) << c.what;
        EXPECT_FALSE(client.Connected()) << c.what;
        // Without a session nothing is uploaded.
        char buffer[101] = "stale";
        EXPECT_EQ(client.ContentUP(document_, buffer, sizeof buffer), kEcmNotConnected) << c.what;
        EXPECT_STREQ(buffer, "") << c.what;
        EXPECT_EQ(script.sent.size(), 1u) << c.what;
    }
}

TEST_F(EcmClientTest, MissingHostOrPortIsAFailedConnectWithoutARequest) {
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener1");
    EXPECT_EQ(client.Connect("", 2104), 0);
    EXPECT_EQ(client.Connect("127.0.0.1", 0), 0);
    EXPECT_EQ(client.Connect("127.0.0.1", -5), 0);
    EXPECT_EQ(client.Connect("127.0.0.1", 70000), 0);
    EXPECT_TRUE(script_.sent.empty());
    EXPECT_NE(client.DisConnect(), 0);
}

TEST_F(EcmClientTest, UploadStreamsTheFileWithItsLengthInBlocks) {
    // Larger than one block, so that the body goes in several writes.
    std::string bytes(200 * 1024 + 17, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    const std::string big = (dir_ / "A_B_\xEC\x84\xA4\xEA\xB3\x84 1.pdf").string();
    testsupport::WriteFileBytes(big, bytes);
    script_.replies = {{1, kToken}, {1, kIdentifier + "\n"}, {1, "0"}};
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener1");
    ConnectWith(client);
    char buffer[101];
    ASSERT_EQ(client.ContentUP(big, buffer, sizeof buffer), 0) << client.ErrorText();
    EXPECT_EQ(std::string(buffer), kIdentifier);
    const SentRequest& upload = script_.sent[1];
    EXPECT_TRUE(upload.streamed);
    EXPECT_EQ(upload.announced, bytes.size());
    EXPECT_EQ(upload.body, bytes);
    EXPECT_GT(upload.writes.size(), 1u);
    for (size_t w : upload.writes) EXPECT_LE(w, 64u * 1024);
    EXPECT_EQ(upload.target,
              "/ecm/content?session=" + kToken + "&name=A%5FB%5F%EC%84%A4%EA%B3%84%201%2Epdf");
    EXPECT_EQ(client.DisConnect(), 0);
    EXPECT_EQ(script_.sent[2].target, "/ecm/disconnect?session=" + kToken);
    EXPECT_FALSE(client.Connected());
}

TEST_F(EcmClientTest, HostileIdentifiersAreRefused) {
    struct Case {
        const char* what;
        ScriptedReply reply;
        int expected;
    };
    const Case cases[] = {
        {"refused", {0, "ERROR: no such session"}, kEcmRefused},
        {"transfer failed", {-1, ""}, kEcmTransferFailed},
        {"empty", {1, "  \r\n"}, kEcmBadIdentifier},
        {"slash", {1, "QC/../x"}, kEcmBadIdentifier},
        {"query characters", {1, "QC1&fileNm=x"}, kEcmBadIdentifier},
        {"blank inside", {1, "QC 1"}, kEcmBadIdentifier},
        {"zero byte", {1, std::string("QC1\0x", 5)}, kEcmBadIdentifier},
        {"high bytes", {1, "QC\xEA\xB9\x80"}, kEcmBadIdentifier},
        {"longer than the buffer", {1, std::string(101, 'a')}, kEcmBufferTooSmall},
        {"longer than any identifier", {1, std::string(300, 'a')}, kEcmBadIdentifier},
        {"a huge reply", {1, std::string(1 << 20, 'a')}, kEcmTransferFailed},
    };
    for (const Case& c : cases) {
        Script script;
        script.replies = {{1, kToken}, c.reply};
        EcmClient client(ScriptedFactory(script));
        client.SetUserID("opener1");
        ASSERT_GT(client.Connect("127.0.0.1", 2104), 0);
        char buffer[101] = "stale";
        EXPECT_EQ(client.ContentUP(document_, buffer, sizeof buffer), c.expected) << c.what;
        EXPECT_STREQ(buffer, "") << c.what;
        EXPECT_FALSE(client.ErrorText().empty()) << c.what;
    }
}

TEST_F(EcmClientTest, IdentifierExactlyFillingTheBufferFits) {
    const std::string hundred(100, 'b');
    script_.replies = {{1, kToken}, {1, hundred}};
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener1");
    ConnectWith(client);
    char buffer[101];
    ASSERT_EQ(client.ContentUP(document_, buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), hundred);
    std::string asText;
    script_.replies.push_back({1, "QC-1.x_y"});
    EXPECT_EQ(client.ContentUP(document_, asText), 0);
    EXPECT_EQ(asText, "QC-1.x_y");
}

TEST_F(EcmClientTest, MissingEmptyOrUnreadableDocumentsSendNothing) {
    script_.replies = {{1, kToken}, {1, kIdentifier}};
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener1");
    ConnectWith(client);
    char buffer[101];
    EXPECT_EQ(client.ContentUP((dir_ / "missing.pdf").string(), buffer, sizeof buffer), kEcmNoFile);
    const std::string empty = (dir_ / "empty.pdf").string();
    testsupport::WriteFileBytes(empty, "");
    EXPECT_EQ(client.ContentUP(empty, buffer, sizeof buffer), kEcmNoFile);
    EXPECT_EQ(client.ContentUP(dir_.str(), buffer, sizeof buffer), kEcmNoFile);
    EXPECT_EQ(client.ContentUP("", buffer, sizeof buffer), kEcmBadArgument);
    EXPECT_EQ(client.ContentUP(document_, nullptr, 10), kEcmBadArgument);
    EXPECT_EQ(client.ContentUP(document_, buffer, 0), kEcmBadArgument);
    EXPECT_EQ(script_.sent.size(), 1u);  // the connect only
}

TEST_F(EcmClientTest, DisconnectReportsTheStoresAnswer) {
    script_.replies = {{1, kToken}, {0, "ERROR: no such session"}, {-1, ""}, {1, "0"}};
    EcmClient client(ScriptedFactory(script_));
    client.SetUserID("opener1");
    ConnectWith(client);
    EXPECT_EQ(client.DisConnect(), kEcmRefused);
    EXPECT_EQ(client.DisConnect(), kEcmTransferFailed);
    EXPECT_EQ(client.DisConnect(), 0);
    EXPECT_EQ(client.DisConnect(), kEcmNotConnected);
}

TEST(EcmReplies, Readers) {
    std::string out;
    EXPECT_TRUE(ReadSessionToken(" " + kToken + "\r\n", out));
    EXPECT_EQ(out, kToken);
    EXPECT_FALSE(ReadSessionToken(kToken + "x", out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(ReadContentIdentifier(kIdentifier + "\r\n", out));
    EXPECT_EQ(out, kIdentifier);
    EXPECT_FALSE(IsSafeIdentifier(""));
    EXPECT_FALSE(IsSafeIdentifier("a%2F"));
    EXPECT_FALSE(IsSafeIdentifier("a+b"));
    EXPECT_TRUE(IsSafeIdentifier(std::string(255, 'z')));
    EXPECT_FALSE(IsSafeIdentifier(std::string(256, 'z')));
}

}  // namespace
