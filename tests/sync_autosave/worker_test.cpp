// The sending thread against the bundled server: order, outages, refusals, held items, drain
// wait, suspend and stop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/prompter.h"
#include "support/review_server_process.h"
#include "sync/autosave_worker.h"
#include "sync/base_exception.h"
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
using Clock = std::chrono::steady_clock;

// The real connection, except that the items of one comment cannot be prepared while failing
// is set.
class UnpreparableComment : public AutosaveConnection {
public:
    UnpreparableComment(const std::string& host, int port, std::string name,
                        std::shared_ptr<std::atomic<bool>> failing)
        : real_(host, port), name_(std::move(name)), failing_(std::move(failing)) {}
    std::unique_ptr<ParamMap> Send(const ParamMap& request) override {
        const ParamValue* name = request.Find("NM");
        if (*failing_ && name && name->AsText() == name_)
            throw BaseException("Damaged comment data: 12 bytes", 999);
        return real_.Send(request);
    }
    bool GetText(const std::string& url, std::string& reply) override {
        return real_.GetText(url, reply);
    }
    bool LastSendUnanswered() const override { return real_.LastSendUnanswered(); }
    void SetShowTransferErrors(bool show) override { real_.SetShowTransferErrors(show); }
    void Cancel() override { real_.Cancel(); }

private:
    HttpAutosaveConnection real_;
    std::string name_;
    std::shared_ptr<std::atomic<bool>> failing_;
};

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        auto prompter = std::make_unique<platform::ScriptedPrompter>();
        prompts = prompter.get();
        platform::InstallPrompter(std::move(prompter));
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

    // Waits until the worker has taken the only queued item and sends it.
    bool WaitUntilInFlight() {
        worker->WakeUp();
        for (int i = 0; i < 250; ++i) {
            if (worker->QueueSize() == 0 && worker->Busy()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    testsupport::ReviewServerProcess server;
    platform::ScriptedPrompter* prompts = nullptr;
    AutosaveSettings settings;
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

TEST_F(WorkerTest, ItemThatCannotBePreparedIsHeldWithItsCommentAndTheRestGoesOn) {
    auto failing = std::make_shared<std::atomic<bool>>(true);
    const std::string host = server.host();
    const int port = server.port();
    worker = std::make_unique<AutosaveWorker>(nullptr, 2, settings, [=] {
        return std::make_unique<UnpreparableComment>(host, port, "BAD", failing);
    });
    worker->Enqueue(Item("A1", kActionCreate));
    worker->Enqueue(Item("BAD", kActionCreate));
    worker->Enqueue(Item("A2", kActionCreate));
    worker->Enqueue(Item("BAD", kActionUpdate));
    auto reply = Item("R1", kActionCreate);  // a reply must not overtake its held comment
    reply->IRT = "BAD";
    worker->Enqueue(std::move(reply));
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"A1:0", "A2:0"}));
    EXPECT_EQ(worker->HeldCount(), 3u);
    EXPECT_EQ(worker->QueueSize(), 0u);
    EXPECT_TRUE(WaitForQueueDrain(*worker));  // held items do not keep the drain wait busy

    // Retried while the fault lasts, they are held again: nothing is lost.
    worker->RetryHeld();
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(worker->HeldCount(), 3u);

    *failing = false;
    worker->RetryHeld();
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(worker->HeldCount(), 0u);
    EXPECT_EQ(Published(), (std::vector<std::string>{"A1:0", "A2:0", "BAD:0", "BAD:1", "R1:0"}));
    EXPECT_EQ(ErrorPrompts(), 0);
}

TEST_F(WorkerTest, ItemAGatewayKeepsRefusingIsHeldWhileTheServerAnswersOtherwise) {
    ASSERT_TRUE(server.AddFault("status:/Comm/autoSave.do:502@5"));
    worker->Enqueue(Item("G1", kActionCreate));
    worker->Enqueue(Item("G2", kActionCreate));
    worker->Enqueue(Item("G1", kActionUpdate));  // the gateway would pass it: it waits for G1:0
    ASSERT_TRUE(WaitUntilSent(30));
    EXPECT_EQ(Published(), (std::vector<std::string>{"G2:0"}));
    EXPECT_EQ(worker->HeldCount(), 2u);
    ASSERT_EQ(ErrorPrompts(), 1);
    EXPECT_NE(prompts->entries()[0].text.find("does not answer"), std::string::npos);

    worker->RetryHeld();
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(worker->HeldCount(), 0u);
    EXPECT_EQ(Published(), (std::vector<std::string>{"G2:0", "G1:0", "G1:1"}));
}

TEST_F(WorkerTest, GatewayRefusingEverythingKeepsTheOrderAndHoldsNothing) {
    // Five refusals of the first item, then the check whether the server answers otherwise
    // and one more refusal, twice: the server is away, the item waits at the head.
    ASSERT_TRUE(server.AddFault("status:*:502@8"));
    worker->Enqueue(Item("K1", kActionCreate));
    worker->Enqueue(Item("K2", kActionCreate));
    ASSERT_TRUE(WaitUntilSent(30));
    EXPECT_EQ(worker->HeldCount(), 0u);
    EXPECT_EQ(Published(), (std::vector<std::string>{"K1:0", "K2:0"}));
    EXPECT_EQ(ErrorPrompts(), 1);
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

TEST_F(WorkerTest, SuspendCancelsATransferTheServerHoldsAndKeepsItsItem) {
    ASSERT_TRUE(server.AddFault("delay:/Comm/autoSave.do:30000@1"));
    worker->Enqueue(Item("H1", kActionCreate));
    ASSERT_TRUE(WaitUntilInFlight());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the server holds it
    const auto start = Clock::now();
    EXPECT_TRUE(worker->Suspend());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));  // not the 30 s of the server
    EXPECT_EQ(worker->QueueSize(), 1u);
    EXPECT_EQ(ErrorPrompts(), 0);  // a cancel is no outage

    worker->Resume();
    ASSERT_TRUE(WaitUntilSent());
    EXPECT_EQ(Published(), (std::vector<std::string>{"H1:0"}));
    EXPECT_EQ(ErrorPrompts(), 0);
    server.Kill();  // its handler still sleeps
}

TEST_F(WorkerTest, DestroyingTheWorkerCancelsATransferTheServerHolds) {
    ASSERT_TRUE(server.AddFault("delay:/Comm/autoSave.do:30000@1"));
    worker->Enqueue(Item("H2", kActionCreate));
    ASSERT_TRUE(WaitUntilInFlight());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = Clock::now();
    worker.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));  // not the 30 s of the server
    EXPECT_EQ(ErrorPrompts(), 0);
    server.Kill();
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
