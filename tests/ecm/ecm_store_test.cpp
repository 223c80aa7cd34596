// The content-store client against the bundled store: a whole session, the stored bytes, and
// the store's faults, each reported by its own result.
#include <gtest/gtest.h>

#include <string>

#include "ecm/ecm_client.h"
#include "platform/code_page.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::ecm;

namespace {

class EcmStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new testsupport::ReviewServerProcess;
        ASSERT_TRUE(server_->Start()) << server_->error();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->ClearFaults());
        platform::SetSystemCodePageForTesting("CP949");
    }
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }

    // A client with short time-outs, so that a stalled store fails the test quickly.
    static std::unique_ptr<EcmClient> NewClient() {
        net::HttpTimeouts timeouts;
        timeouts.connectSeconds = 3;
        timeouts.stallSeconds = 1;
        auto client = std::make_unique<EcmClient>(EcmClient::RequestFactory{}, timeouts);
        client->SetUserID("opener1");
        client->SetLocCD("S01");
        client->SetSvrID("ECM01");
        return client;
    }
    std::string Document(const std::string& name, const std::string& bytes) {
        std::string path = (dir_ / name).string();
        testsupport::WriteFileBytes(path, bytes);
        return path;
    }
    std::string Stored(const std::string& id) {
        auto reply = testsupport::LoopbackGet(server_->ecmPort(), "/ecm/content?id=" + id);
        return reply.status == 200 ? reply.body : "<status " + std::to_string(reply.status) + ">";
    }

    static testsupport::ReviewServerProcess* server_;
    testsupport::TempDir dir_;
};

testsupport::ReviewServerProcess* EcmStoreTest::server_ = nullptr;

TEST_F(EcmStoreTest, StoresTheDocumentAndClosesTheSession) {
    std::string bytes(300 * 1024, 'x');
    for (size_t i = 0; i < bytes.size(); i += 97) bytes[i] = static_cast<char>(i);
    // A Korean name in UTF-8 on disk, as the working folder holds it.
    const std::string path = Document("10011_\xEC\x84\xA4\xEA\xB3\x84_SC_1.pdf", bytes);
    auto client = NewClient();
    ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0) << client->ErrorText();
    char buffer[101];
    ASSERT_EQ(client->ContentUP(path, buffer, sizeof buffer), 0) << client->ErrorText();
    std::string id = buffer;
    EXPECT_EQ(id.size(), 25u);
    EXPECT_EQ(id.substr(0, 2), "QC");
    EXPECT_EQ(Stored(id), bytes);
    EXPECT_EQ(client->DisConnect(), 0);
    // The closed session takes no more uploads, at the store either.
    EXPECT_EQ(client->ContentUP(path, buffer, sizeof buffer), kEcmNotConnected);
}

TEST_F(EcmStoreTest, EachFaultOfTheStoreHasItsOwnResult) {
    const std::string path = Document("doc.pdf", "%PDF-1.4\n%%EOF\n");
    char buffer[101];
    {
        ASSERT_TRUE(server_->AddFault("status:/ecm/connect:500"));
        auto client = NewClient();
        EXPECT_EQ(client->Connect(server_->host(), server_->ecmPort()), 0);
    }
    {
        ASSERT_TRUE(server_->AddFault("garbage:/ecm/connect"));
        auto client = NewClient();
        EXPECT_EQ(client->Connect(server_->host(), server_->ecmPort()), 0);
    }
    {
        ASSERT_TRUE(server_->AddFault("drop:/ecm/connect"));
        auto client = NewClient();
        EXPECT_LT(client->Connect(server_->host(), server_->ecmPort()), 0);
    }
    {
        ASSERT_TRUE(server_->AddFault("status:/ecm/content:500"));
        auto client = NewClient();
        ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0);
        // The store answers before it takes the body: a refusal, or an upload cut short.
        int result = client->ContentUP(path, buffer, sizeof buffer);
        EXPECT_TRUE(result == kEcmRefused || result == kEcmTransferFailed) << result;
        EXPECT_STREQ(buffer, "");
        // The store took nothing; the same session uploads on the next try.
        EXPECT_EQ(client->ContentUP(path, buffer, sizeof buffer), 0);
    }
    {
        ASSERT_TRUE(server_->AddFault("garbage:/ecm/content"));
        auto client = NewClient();
        ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0);
        EXPECT_NE(client->ContentUP(path, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
    }
    {
        ASSERT_TRUE(server_->AddFault("drop:/ecm/content"));
        auto client = NewClient();
        ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0);
        EXPECT_EQ(client->ContentUP(path, buffer, sizeof buffer), kEcmTransferFailed);
    }
    {
        // A store slower than the client's patience.
        ASSERT_TRUE(server_->AddFault("delay:/ecm/content:12000"));
        auto client = NewClient();
        ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0);
        EXPECT_EQ(client->ContentUP(path, buffer, sizeof buffer), kEcmTransferFailed);
    }
    {
        ASSERT_TRUE(server_->AddFault("status:/ecm/disconnect:403"));
        auto client = NewClient();
        ASSERT_GT(client->Connect(server_->host(), server_->ecmPort()), 0);
        EXPECT_EQ(client->DisConnect(), kEcmRefused);
        EXPECT_EQ(client->DisConnect(), 0);
    }
}

TEST_F(EcmStoreTest, ConnectWithoutAUserOrToAClosedPortFails) {
    auto client = NewClient();
    client->SetUserID("");
    EXPECT_EQ(client->Connect(server_->host(), server_->ecmPort()), 0);
    client->SetUserID("opener1");
    // The review port speaks no content-store protocol: no token, no session.
    EXPECT_LE(client->Connect(server_->host(), server_->port()), 0);
    EXPECT_LT(client->Connect(server_->host(), 1), 0);
    EXPECT_FALSE(client->Connected());
}

}  // namespace
