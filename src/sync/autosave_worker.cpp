#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include <cstdlib>
#include <exception>

#include "app/logs.h"
#include "platform/prompter.h"
#include "sync/wire/http_autosave_connection.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_requests.h"

namespace quill::sync {

namespace {

constexpr auto kPassInterval = std::chrono::milliseconds(1000);
constexpr auto kDrainStep = std::chrono::milliseconds(500);
constexpr int kDrainTries = 13;
constexpr auto kDrainSettle = std::chrono::milliseconds(1000);

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
    }
    pauseSignal_.notify_all();
    if (thread_.joinable()) thread_.join();
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
    for (;;) {
        std::unique_ptr<CQueueModel> item;
        {
            std::unique_lock<std::mutex> lock(queueLock_);
            if (!SafePoint(lock)) return;
            if (queue_.empty()) return;
            item = std::move(queue_.front());
            queue_.pop_front();
            inFlight_ = true;
            int idle = kWorkerIdle;
            state_.compare_exchange_strong(idle, kWorkerSending);
        }

        std::unique_ptr<ParamMap> reply;
        bool unanswered = false;
        try {
            reply = connection->Send(AutoSaveRequest(*item));
            unanswered = connection->LastSendUnanswered();
        } catch (const std::exception& e) {
            // Nothing may escape the thread; the item waits for the next pass.
            unanswered = true;
            reply = std::make_unique<ParamMap>();
            (*reply)["errorMsg"] = std::string(e.what());
        }
        if (!reply) reply = std::make_unique<ParamMap>();

        {
            std::lock_guard<std::mutex> lock(queueLock_);
            // A passing outage must not cost the reviewer the change: the item goes back to
            // the head of the queue and is sent again on the next pass.
            if (unanswered) queue_.push_front(std::move(item));
            inFlight_ = false;
            int sending = kWorkerSending;
            state_.compare_exchange_strong(sending, kWorkerIdle);
        }
        pauseSignal_.notify_all();

        if (unanswered) {
            ReportOutage(*reply);
            return;  // the rest waits for the next pass, in order
        }
        if (outageReported_) {
            outageReported_ = false;
            WriteLog("AutosaveWorker", "The review server answers again.");
        }
        bool hasError = false;
        const int code = ErrorCodeOf(*reply, hasError);
        if (hasError) {
            // The server refused this item: it is dropped so that it never blocks the rest.
            const std::string text = std::to_string(code) + " : " + ErrorMessageOf(*reply);
            WriteLog("AutosaveWorker", "Item dropped, NM: " + item->NM + ", " + text);
            platform::Prompts().Error(text);
        }
    }
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
