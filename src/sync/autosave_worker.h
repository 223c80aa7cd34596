// The autosave worker: the pending queue of comment changes and the thread that sends it,
// the page maps of the comment records, and the merge of other reviewers' changes.
#pragma once
#include "sync/sync_names.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "review/review_session.h"
#include "sync/autosave_callbacks.h"
#include "sync/autosave_settings.h"
#include "sync/fdf/fdf_document.h"
#include "sync/incoming_groups.h"
#include "sync/page_annot_map.h"
#include "sync/wire/autosave_connection.h"
#include "sync/wire/queue_model.h"

namespace quill::control {
class PdfViewerControl;
}

namespace quill::sync {

// Values of the worker's state word.
enum AutosaveState : int {
    kWorkerStop = 0,      // the main window asks the worker to end once the queue is empty
    kWorkerIdle = 1,      // idle, or between items
    kWorkerSending = 99,  // an item is on its way
};

// A transfer that gets no answer from the review server (no connection, dropped, timed out,
// a gateway's 502, 503 or 504) keeps its item at the head of the queue for the next pass and
// is reported once per outage; an item the server refuses is reported and dropped. Both
// messages are shown from the worker thread through platform::Prompts(). An item that fails
// in itself (its request cannot be built or sent, or it keeps getting the same gateway error
// while the server answers other requests) is logged and set aside in the held list, with the
// later changes of the same comment, so that the rest of the queue goes on; held items wait
// for RetryHeld.
//
// Everything but the sending runs on the GUI thread: the outgoing operations, the merge, the
// page maps, latestRevision and the callbacks. The worker thread only takes items out of
// the queue, sends them and writes the state. The queue lock is never held during a
// transfer.
class AutosaveWorker {
public:
    // control: not owned, outlives the worker. The thread starts at once (state 1).
    // connections: one per send pass and per revision check; empty means HTTP to
    // settings.host:settings.port.
    AutosaveWorker(control::PdfViewerControl* control, int pageCount, AutosaveSettings settings,
                   AutosaveConnectionFactory connections = {});
    // Cancels a transfer in flight and ends the thread; items still queued or held are lost
    // (and logged).
    ~AutosaveWorker();
    AutosaveWorker(const AutosaveWorker&) = delete;
    AutosaveWorker& operator=(const AutosaveWorker&) = delete;

    void SetCallbacks(AutosaveCallbacks callbacks) { callbacks_ = std::move(callbacks); }
    const AutosaveCallbacks& Callbacks() const { return callbacks_; }

    // ---- outgoing (GUI thread); 1 when an item was queued, 0 when nothing was ----
    // action 0 create, 1 update. Throws BaseException (export, parse, unknown action).
    int AutoSaveAnnot(int page, int annotIndex, int action);
    // As AutoSaveAnnot for a reply, taken by its name: replyName, or for a new reply given
    // without one, the first reply of the comment at annotIndex the page maps do not know.
    // Returns 1.
    int AutoSaveReply(int page, int annotIndex, int action, const std::string& replyName);
    // Imports a prepared FDF file as a new comment on the page and queues it.
    int AddCommentFromFdf(int page, const std::string& fdfPath);
    int QueueDeleteComment(int page, int annotIndex);
    int QueueDeleteReply(int page, const std::string& uniqueName);
    int QueueMoveComment(const std::string& uniqueName, int page, int targetPage,
                         const std::string& docId, const std::string& userId);
    // The parsed object of the annotation or reply named uniqueName (the one the control
    // reports as new), when the page maps do not know it yet; nullptr otherwise.
    CFDFContent* GetAutosaveTargerObject(const FdfDocument& doc, int page,
                                         const std::string& uniqueName) const;

    // ---- copying a comment (GUI thread) ----
    // The path of a new temporary FDF file holding a copy of the comment named sourceName on
    // sourcePage, placed on the current page (10 points further when offset is set); empty
    // when nothing was copied. The caller imports it with AddCommentFromFdf.
    std::string CopyComment(int sourcePage, const std::string& sourceName, bool offset);
    // The same for the comment at sourceIndex, when its record and the control agree on it.
    std::string CopyComment(int sourcePage, int sourceIndex, bool offset);

    // ---- incoming (GUI thread) ----
    // The new latestRevision, or -1 when nothing new arrived or the list was unreadable.
    int GetLastestRevisions();
    // True when the last GetLastestRevisions could not read what the server holds (no
    // answer, an unreadable list, an error reply), as opposed to finding nothing new.
    bool LastCheckFailed() const { return lastCheckFailed_; }
    // Applies the six groups to the page maps and the control (through the callbacks).
    void _mergeQueues(CPtrArrayCustom& set);

    // latestRevision and publishToParent: shared with the review commands, so that "REVISION"
    // and "PUBLISH" send what the merge and the queue items use.
    ReviewSession& Session() { return session_; }
    const ReviewSession& Session() const { return session_; }

    PageAnnotMap& PageMaps() { return maps_; }
    const PageAnnotMap& PageMaps() const { return maps_; }
    const AutosaveSettings& Settings() const { return settings_; }

    // ---- the queue and the thread (any thread) ----
    // Appends an item under the lock.
    void Enqueue(std::unique_ptr<CQueueModel> item);
    size_t QueueSize() const;
    // Items set aside because they failed in themselves: not sent, not in QueueSize, and not
    // waited for by Busy, but changes the server does not have yet.
    size_t HeldCount() const;
    // Puts the held items back at the head of the queue, in their order, and wakes the worker;
    // for the next publish, when a failure may have passed.
    void RetryHeld();
    // True while an item is on its way or the queue is not empty (read under the lock).
    bool Busy() const;
    int State() const { return state_.load(); }
    // Writing 0 asks the worker to end once the queue is empty; it stays 0.
    void SetState(int state);
    // Pauses the worker at its next safe point between items. A transfer in flight is cancelled
    // and its item stays at the head of the queue. True once no item is on its way; false when
    // it has not come back within maxWait (the worker still pauses after it).
    bool Suspend(std::chrono::milliseconds maxWait = std::chrono::seconds(2));
    void Resume();
    bool Suspended() const { return suspended_.load(); }
    // True once the thread has ended.
    bool Finished() const { return finished_.load(); }
    // Wakes the worker for a pass now instead of at the end of its one-second sleep.
    void WakeUp();

private:
    void Run();
    // One pass over the queue on one connection; ends early when the server does not answer.
    void SendPass();
    // Waits at a safe point while suspended; false when the worker is to end at once.
    bool SafePoint(std::unique_lock<std::mutex>& lock);
    void ReportOutage(const ParamMap& reply);
    // Sends one item: kDone when the server took or refused it, kRetry when it stays at the
    // head of the queue, kHold when it failed in itself.
    enum class SendOutcome { kDone, kRetry, kHold };
    SendOutcome SendItem(AutosaveConnection& connection, const CQueueModel& item);
    SendOutcome OnUnanswered(AutosaveConnection& connection, const CQueueModel& item,
                             const ParamMap& reply);

    // Outgoing helpers.
    void QueueCommentItem(int page, int annotIndex, int action, const std::string& docId,
                          CFDFContent& object);
    std::string ExportAll(FdfDocument& doc);

    control::PdfViewerControl* control_;
    AutosaveSettings settings_;
    AutosaveConnectionFactory connections_;
    AutosaveCallbacks callbacks_;
    PageAnnotMap maps_;
    bool lastCheckFailed_ = false;
    std::unique_ptr<ReviewSession> ownSession_;  // only when the settings name no session
    ReviewSession& session_;

    mutable std::mutex queueLock_;
    std::deque<std::unique_ptr<CQueueModel>> queue_;
    std::deque<std::unique_ptr<CQueueModel>> held_;  // under queueLock_, oldest first

    std::atomic<int> state_{kWorkerIdle};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> abandon_{false};
    std::atomic<bool> suspended_{false};
    std::atomic<bool> finished_{false};
    bool inFlight_ = false;        // under queueLock_
    bool wakeRequested_ = false;   // under queueLock_
    bool outageReported_ = false;  // worker thread only
    // The connection of the current pass, for a stop or suspend to cancel; once cancelled the
    // pass ends. Both under queueLock_.
    AutosaveConnection* passConnection_ = nullptr;
    bool passCancelled_ = false;
    // Gateway errors in a row for the item at the head (worker thread only).
    const CQueueModel* gatewayItem_ = nullptr;
    int gatewayCode_ = 0;
    int gatewayStrikes_ = 0;
    std::condition_variable pauseSignal_;  // with queueLock_
    std::thread thread_;
};

// The wait before publishing, finishing or closing: while an item is on its way or the
// queue is not empty, sleep 500 ms, at most 13 times; after at least one sleep, 1000 ms
// more. True when the queue was found drained.
bool WaitForQueueDrain(const AutosaveWorker& worker);
// Closing: sets the state to 0 and waits in 500 ms steps, at most 13, for the thread to
// end. True when it has ended.
bool WaitForWorkerStop(AutosaveWorker& worker);

}  // namespace quill::sync
