#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include <cstdlib>
#include <exception>

#include "app/logs.h"
#include "platform/prompter.h"
#include "review/endpoints.h"
#include "sync/wire/http_autosave_connection.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_requests.h"

namespace quill::sync {

namespace {

constexpr auto kPassInterval = std::chrono::milliseconds(1000);
constexpr auto kDrainStep = std::chrono::milliseconds(500);
constexpr int kDrainTries = 13;
constexpr auto kDrainSettle = std::chrono::milliseconds(1000);
// Gateway errors in a row for one item before the worker asks whether the server answers
// otherwise: a gateway that is restarting fails a few passes, not this many.
constexpr int kGatewayStrikes = 5;

int ErrorCodeOf(const ParamMap& reply, bool& present) {
    const ParamValue* code = reply.Find("errorCode");
    present = code != nullptr;
    if (!code) return 0;
    return code->type() == ParamValue::kInteger ? code->integer()
                                                : std::atoi(code->AsText().c_str());
}

std::string ErrorMessageOf(const ParamMap& reply) {
    const ParamValue* message = reply.Find("errorMsg");
    return message ? message->AsText() : std::string();
}

// The status of a gateway that answered in the server's place (502, 503, 504), else 0. A
// transfer failure carries libcurl's code, always below 100.
int GatewayStatusOf(const ParamMap& reply) {
    bool present = false;
    const int code = ErrorCodeOf(reply, present);
    return present && (code == 502 || code == 503 || code == 504) ? code : 0;
}

// Whether an item changes a comment that has a change held: it must not overtake that one.
bool ChangesHeldComment(const CQueueModel& item,
                        const std::deque<std::unique_ptr<CQueueModel>>& held) {
    for (const auto& earlier : held) {
        if (earlier->NM.empty()) continue;
        if (item.NM == earlier->NM || item.IRT == earlier->NM) return true;
    }
    return false;
}

}  // namespace

AutosaveWorker::AutosaveWorker(control::PdfViewerControl* control, int pageCount,
                               AutosaveSettings settings, AutosaveConnectionFactory connections)
    : control_(control),
      settings_(std::move(settings)),
      connections_(std::move(connections)),
      maps_(pageCount),
      ownSession_(settings_.session ? nullptr : std::make_unique<ReviewSession>()),
      session_(settings_.session ? *settings_.session : *ownSession_) {
    if (!connections_)
        connections_ = HttpAutosaveConnection::Factory(settings_.host, settings_.port);
    thread_ = std::thread([this] { Run(); });
}

AutosaveWorker::~AutosaveWorker() {
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        abandon_ = true;
        // The window waits for this join: a transfer to a server that does not answer must not
        // hold it for its full time-out.
        if (passConnection_) {
            passCancelled_ = true;
            passConnection_->Cancel();
        }
    }
    pauseSignal_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (!queue_.empty() || !held_.empty())
        WriteLog("AutosaveWorker",
                 "Closed with comment changes not sent: " + std::to_string(queue_.size()) +
                     " queued, " + std::to_string(held_.size()) + " held.");
}

void AutosaveWorker::Enqueue(std::unique_ptr<CQueueModel> item) {
    if (!item) return;
    std::lock_guard<std::mutex> lock(queueLock_);
    queue_.push_back(std::move(item));
}

size_t AutosaveWorker::QueueSize() const {
    std::lock_guard<std::mutex> lock(queueLock_);
    return queue_.size();
}

size_t AutosaveWorker::HeldCount() const {
    std::lock_guard<std::mutex> lock(queueLock_);
    return held_.size();
}

void AutosaveWorker::RetryHeld() {
    size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        count = held_.size();
        if (count == 0) return;
        // Held items are older than anything queued after them: they go first.
        for (auto it = held_.rbegin(); it != held_.rend(); ++it) queue_.push_front(std::move(*it));
        held_.clear();
        wakeRequested_ = true;
    }
    WriteLog("AutosaveWorker", "Held items queued again: " + std::to_string(count));
    pauseSignal_.notify_all();
}

bool AutosaveWorker::Busy() const {
    std::lock_guard<std::mutex> lock(queueLock_);
    return inFlight_ || !queue_.empty();
}

void AutosaveWorker::SetState(int state) {
    if (state == kWorkerStop) {
        {
            std::lock_guard<std::mutex> lock(queueLock_);
            stopRequested_ = true;
            state_ = kWorkerStop;
            wakeRequested_ = true;
        }
        pauseSignal_.notify_all();
        return;
    }
    std::lock_guard<std::mutex> lock(queueLock_);
    stopRequested_ = false;
    state_ = state;
}

bool AutosaveWorker::Suspend(std::chrono::milliseconds maxWait) {
    std::unique_lock<std::mutex> lock(queueLock_);
    suspended_ = true;
    // Waiting out a transfer to a server that does not answer could take minutes: it is
    // cancelled, and its item goes back to the head of the queue.
    if (inFlight_ && passConnection_) {
        passCancelled_ = true;
        passConnection_->Cancel();
    }
    return pauseSignal_.wait_for(lock, maxWait, [this] { return !inFlight_; });
}

void AutosaveWorker::Resume() {
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        suspended_ = false;
    }
    pauseSignal_.notify_all();
}

void AutosaveWorker::WakeUp() {
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        wakeRequested_ = true;
    }
    pauseSignal_.notify_all();
}

void AutosaveWorker::Run() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(queueLock_);
            if (abandon_) break;
            if ((stopRequested_ || state_ == kWorkerStop) && queue_.empty()) break;
            // One second between passes; a stop request or WakeUp cuts it short.
            pauseSignal_.wait_for(lock, kPassInterval,
                                  [this] { return abandon_ || wakeRequested_; });
            wakeRequested_ = false;
            if (abandon_) break;
        }
        try {
            SendPass();
        } catch (const std::exception& e) {
            WriteLog("AutosaveWorker", std::string("Pass ended: ") + e.what());
        }
    }
    finished_ = true;
    pauseSignal_.notify_all();
}

bool AutosaveWorker::SafePoint(std::unique_lock<std::mutex>& lock) {
    pauseSignal_.wait(lock, [this] { return abandon_ || !suspended_; });
    return !abandon_;
}

void AutosaveWorker::SendPass() {
    std::unique_ptr<AutosaveConnection> connection = connections_();
    if (!connection) return;
    connection->SetShowTransferErrors(false);
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        passConnection_ = connection.get();
        passCancelled_ = false;
    }
    // Nobody may cancel the connection once it is gone.
    struct PassEnd {
        AutosaveWorker& worker;
        ~PassEnd() {
            std::lock_guard<std::mutex> lock(worker.queueLock_);
            worker.passConnection_ = nullptr;
        }
    } passEnd{*this};

    for (;;) {
        std::unique_ptr<CQueueModel> item;
        std::vector<std::string> setAside;
        {
            std::unique_lock<std::mutex> lock(queueLock_);
            if (!SafePoint(lock)) return;
            if (passCancelled_) return;  // the connection is spent; the next pass makes another
            while (!queue_.empty() && ChangesHeldComment(*queue_.front(), held_)) {
                setAside.push_back(queue_.front()->NM);
                held_.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
            if (!queue_.empty()) {
                item = std::move(queue_.front());
                queue_.pop_front();
                inFlight_ = true;
                int idle = kWorkerIdle;
                state_.compare_exchange_strong(idle, kWorkerSending);
            }
        }
        for (const std::string& name : setAside)
            WriteLog("AutosaveWorker", "Item held after an earlier held change, NM: " + name);
        if (!item) return;

        const SendOutcome outcome = SendItem(*connection, *item);

        {
            std::lock_guard<std::mutex> lock(queueLock_);
            // A passing outage must not cost the reviewer the change: the item goes back to
            // the head of the queue and is sent again on the next pass.
            if (outcome == SendOutcome::kRetry) queue_.push_front(std::move(item));
            if (outcome == SendOutcome::kHold) held_.push_back(std::move(item));
            inFlight_ = false;
            int sending = kWorkerSending;
            state_.compare_exchange_strong(sending, kWorkerIdle);
        }
        pauseSignal_.notify_all();
        if (outcome == SendOutcome::kRetry) return;  // the rest waits for the next pass, in order
    }
}

AutosaveWorker::SendOutcome AutosaveWorker::SendItem(AutosaveConnection& connection,
                                                     const CQueueModel& item) {
    std::unique_ptr<ParamMap> reply;
    try {
        reply = connection.Send(AutoSaveRequest(item));
    } catch (const std::exception& e) {
        // Nothing may escape the thread, and an item that cannot be sent must not block the
        // rest: it waits in the held list.
        WriteLog("AutosaveWorker",
                 "Item held, NM: " + item.NM + ", it could not be sent: " + std::string(e.what()));
        return SendOutcome::kHold;
    } catch (...) {
        WriteLog("AutosaveWorker", "Item held, NM: " + item.NM + ", it could not be sent.");
        return SendOutcome::kHold;
    }
    if (!reply) reply = std::make_unique<ParamMap>();
    if (connection.LastSendUnanswered()) return OnUnanswered(connection, item, *reply);

    gatewayItem_ = nullptr;
    gatewayStrikes_ = 0;
    if (outageReported_) {
        outageReported_ = false;
        WriteLog("AutosaveWorker", "The review server answers again.");
    }
    bool hasError = false;
    const int code = ErrorCodeOf(*reply, hasError);
    if (hasError) {
        // The server refused this item: it is dropped so that it never blocks the rest.
        const std::string text = std::to_string(code) + " : " + ErrorMessageOf(*reply);
        WriteLog("AutosaveWorker", "Item dropped, NM: " + item.NM + ", " + text);
        platform::Prompts().Error(text);
    }
    return SendOutcome::kDone;
}

AutosaveWorker::SendOutcome AutosaveWorker::OnUnanswered(AutosaveConnection& connection,
                                                         const CQueueModel& item,
                                                         const ParamMap& reply) {
    auto cancelled = [this] {
        std::lock_guard<std::mutex> lock(queueLock_);
        return passCancelled_;
    };
    if (cancelled()) {
        WriteLog("AutosaveWorker", "Sending cancelled; the item is kept, NM: " + item.NM);
        return SendOutcome::kRetry;
    }
    // One item that a gateway keeps refusing while the server answers other requests fails
    // in itself (a body the gateway will not pass, say): it must not hold up the rest.
    const int gateway = GatewayStatusOf(reply);
    if (gateway == 0) {
        gatewayItem_ = nullptr;
        gatewayStrikes_ = 0;
    } else if (gatewayItem_ != &item || gatewayCode_ != gateway) {
        gatewayItem_ = &item;
        gatewayCode_ = gateway;
        gatewayStrikes_ = 1;
    } else {
        ++gatewayStrikes_;
    }
    if (gatewayStrikes_ >= kGatewayStrikes) {
        // The attachment list is small, read-only and served beside the queue.
        const std::string probe = quill::review::endpoint::OnServer(
            settings_.host, settings_.port,
            quill::review::endpoint::FileAttachList(settings_.docId, 0));
        std::string text;
        if (connection.GetText(probe, text) && text.find("{\"rev\":") != std::string::npos) {
            WriteLog("AutosaveWorker", "Item held, NM: " + item.NM + ", " +
                                           std::to_string(gatewayStrikes_) +
                                           " gateway errors in a row while the server answers: " +
                                           std::to_string(gateway));
            gatewayItem_ = nullptr;
            gatewayStrikes_ = 0;
            return SendOutcome::kHold;
        }
        if (cancelled()) return SendOutcome::kRetry;
    }
    ReportOutage(reply);
    return SendOutcome::kRetry;
}

void AutosaveWorker::ReportOutage(const ParamMap& reply) {
    WriteLog("AutosaveWorker",
             "The review server did not answer; the item is kept. " + ErrorMessageOf(reply));
    if (outageReported_) return;
    outageReported_ = true;
    platform::Prompts().Error(
        "The review server does not answer. Your comment changes are kept and will be sent "
        "when it answers again.\n" +
        ErrorMessageOf(reply));
}

bool WaitForQueueDrain(const AutosaveWorker& worker) {
    int slept = 0;
    while (worker.Busy() && slept < kDrainTries) {
        std::this_thread::sleep_for(kDrainStep);
        ++slept;
    }
    if (slept > 0) std::this_thread::sleep_for(kDrainSettle);
    return !worker.Busy();
}

bool WaitForWorkerStop(AutosaveWorker& worker) {
    worker.SetState(kWorkerStop);
    for (int i = 0; i < kDrainTries && !worker.Finished(); ++i) {
        std::this_thread::sleep_for(kDrainStep);
    }
    return worker.Finished();
}

}  // namespace quill::sync
