// The sending thread against the bundled server: order, outages, refusals, drain wait,
// suspend and stop.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/prompter.h"
#include "support/review_server_process.h"
#include "sync/autosave_worker.h"
#include "sync/wire/http_autosave_connection.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/queue_requests.h"
#include "sync/wire/update_reply.h"

using namespace quill;
using namespace quill::platform;
using namespace quill::sync;

namespace {

constexpr const char* kDocId = "10011";

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        auto prompter = std::make_unique<platform::ScriptedPrompter>();
        prompts = prompter.get();
        platform::InstallPrompter(std::move(prompter));
        AutosaveSettings settings;
        settings.host = server.host();
        settings.port = server.port();
        settings.docId = kDocId;
        settings.userId = "KIM";
        worker = std::make_unique<AutosaveWorker>(nullptr, 2, settings);
    }
    void TearDown() override {
        worker.reset();
        platform::InstallPrompter(nullptr);
    }

    // A comment change as the outgoing operations build it.
    std::unique_ptr<CDocQueueModel> Item(const std::string& name, int action, int page = 0) {
        BinaryContent content;
        content.content = std::make_unique<ByteBuffer>(
            ByteBuffer::Copy("<</Type/Annot/Subtype/Square/NM(" + name + ")/Page 0>>"));
        return createDocQueueModel(kDocId, action, "A", page, "", "KIM", name,
                                   action == kActionDelete ? nullptr : &content, 0);
    }

    bool WaitUntilSent(int seconds = 15) {
        worker->WakeUp();
        for (int i = 0; i < seconds * 50; ++i) {
            if (!worker->Busy()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // "NM:action" of every published item, in the server's order.
    std::vector<std::string> Published() {
        EXPECT_EQ(server.Get(std::string("/Comm/publish.do?userid=KIM&docid=") + kDocId).status,
                  200);
        HttpAutosaveConnection connection(server.host(), server.port());
        auto reply = connection.Send(UpdateRequest(kCmdUpdate, kDocId, 0));
        std::vector<std::string> out;
        for (auto& item : ReadQueueItems(*reply))
            out.push_back(item->NM + ":" + std::to_string(item->actionType));
        return out;
    }

    int ErrorPrompts() {
        int n = 0;
        for (const auto& e : prompts->entries()) n += e.kind == platform::PromptKind::Error;
        return n;
    }

    testsupport::ReviewServerProcess server;
    platform::ScriptedPrompter* prompts = nullptr;
    std::unique_ptr<AutosaveWorker> worker;
};

TEST_F(WorkerTest, TwoChangesWithinOneSecondAreSentInOrder) {
    worker->Enqueue(Item("C1", kActionCreate));
    worker->Enqueue(Item("C1", kActionUpdate));
    worker->Enqueue(Item("C1", kActionDelete));
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"C1:0", "C1:1", "C1:2"}));
    EXPECT_EQ(worker->State(), kWorkerIdle);
    EXPECT_EQ(ErrorPrompts(), 0);
}

TEST_F(WorkerTest, DroppedConnectionsLoseNothingAndAreReportedOnce) {
    ASSERT_TRUE(server.AddFault("drop:/Comm/autoSave.do@3"));
    worker->Enqueue(Item("D1", kActionCreate));
    worker->Enqueue(Item("D2", kActionCreate));
    worker->Enqueue(Item("D3", kActionCreate));
    ASSERT_TRUE(WaitUntilSent(20));
    EXPECT_EQ(Published(), (std::vector<std::string>{"D1:0", "D2:0", "D3:0"}));
    ASSERT_EQ(ErrorPrompts(), 1);
    EXPECT_NE(prompts->entries()[0].text.find("does not answer"), std::string::npos);
}

TEST_F(WorkerTest, GatewayStatusesAreRetriedOtherStatusesDropTheItem) {
    ASSERT_TRUE(server.AddFault("status:/Comm/autoSave.do:503@2"));
    worker->Enqueue(Item("G1", kActionCreate));
    ASSERT_TRUE(WaitUntilSent(20));
    ASSERT_TRUE(server.AddFault("status:/Comm/autoSave.do:500@1"));
    worker->Enqueue(Item("G2", kActionCreate));
    worker->Enqueue(Item("G3", kActionCreate));
    ASSERT_TRUE(WaitUntilSent(20));
    EXPECT_EQ(Published(), (std::vector<std::string>{"G1:0", "G3:0"}));
    auto entries = prompts->entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[0].text.find("does not answer"), std::string::npos);
    EXPECT_EQ(entries[1].text.rfind("202 : ", 0), 0u) << entries[1].text;
}

TEST_F(WorkerTest, ServerErrorCodeDropsOnlyThatItem) {
    worker->Enqueue(Item("E1", kActionCreate));
    worker->Enqueue(Item("E2", kActionCreate, -1));  // the server refuses a negative page
    worker->Enqueue(Item("E3", kActionCreate));
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"E1:0", "E3:0"}));
    auto entries = prompts->entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].text.find(" : pageNo must not be negative."), std::string::npos)
        << entries[0].text;
}

TEST_F(WorkerTest, DrainWaitEndsAfterThirteenTriesDuringAnOutageAndTheItemIsSentLater) {
    ASSERT_TRUE(server.AddFault("drop:/Comm/autoSave.do@*"));
    worker->Enqueue(Item("W1", kActionCreate));
    EXPECT_FALSE(WaitForQueueDrain(*worker));
    EXPECT_EQ(worker->QueueSize(), 1u);
    EXPECT_EQ(ErrorPrompts(), 1);  // once for the whole outage
    ASSERT_TRUE(server.ClearFaults());
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"W1:0"}));
    EXPECT_TRUE(WaitForQueueDrain(*worker));
}

TEST_F(WorkerTest, SuspendedWorkerHoldsTheQueueUntilResumed) {
    ASSERT_TRUE(worker->Suspend());
    worker->Enqueue(Item("S1", kActionCreate));
    worker->WakeUp();
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    EXPECT_EQ(worker->QueueSize(), 1u);
    auto count = server.Get(std::string("/Comm/checkautosaved.do?docId=") + kDocId + "&userId=KIM");
    EXPECT_EQ(count.body, "0");
    worker->Resume();
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"S1:0"}));
}

TEST_F(WorkerTest, StopsWithinASecondOfStateZeroOnceTheQueueIsEmpty) {
    worker->Enqueue(Item("Z1", kActionCreate));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForWorkerStop(*worker));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(worker->Finished());
    EXPECT_EQ(worker->State(), kWorkerStop);
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    // What was queued before the stop still went out.
    EXPECT_EQ(Published(), (std::vector<std::string>{"Z1:0"}));
}

}  // namespace

namespace {

TEST(HttpAutosaveConnection, RefusedConnectionIsUnansweredAndQuietWhenAsked) {
    auto prompter = std::make_unique<platform::ScriptedPrompter>();
    platform::ScriptedPrompter* prompts = prompter.get();
    platform::InstallPrompter(std::move(prompter));
    int port = 0;
    {
        testsupport::ReviewServerProcess server;
        ASSERT_TRUE(server.Start()) << server.error();
        port = server.port();
        server.Kill();
    }  // stopped: nothing listens on the port now
    HttpAutosaveConnection connection("127.0.0.1", port);
    connection.SetShowTransferErrors(false);
    CDocQueueModel item;
    item.docId = "10011";
    item.actionType = kActionCreate;
    auto reply = connection.Send(AutoSaveRequest(item));
    EXPECT_TRUE(connection.LastSendUnanswered());
    EXPECT_TRUE(reply->Has("errorCode"));
    EXPECT_TRUE(prompts->entries().empty());
    std::string text = "unchanged";
    EXPECT_FALSE(connection.GetText("http://127.0.0.1:" + std::to_string(port) + "/", text));
    EXPECT_TRUE(text.empty());

    connection.SetShowTransferErrors(true);
    connection.Send(AutoSaveRequest(item));
    EXPECT_EQ(prompts->entries().size(), 1u);

    // A command the exchange does not know is refused without a transfer.
    ParamMap wrong;
    wrong["CMD"] = "DELETE";
    auto refused = connection.Send(wrong);
    EXPECT_FALSE(connection.LastSendUnanswered());
    EXPECT_EQ(refused->Find("errorCode")->integer(), 401);
    platform::InstallPrompter(nullptr);
}

}  // namespace
