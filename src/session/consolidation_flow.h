// The consolidation page's logic without its window: the participants, the engineer list, and
// the flow behind its OK button that closes the review, saves the result document, uploads
// it to the content store and reports it.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/comment_index.h"
#include "app/launch_params.h"
#include "ecm/ecm_client.h"
#include "net/http_timeouts.h"
#include "review/review_session.h"
#include "session/consolidation_document.h"
#include "session/consolidation_requests.h"
#include "session/engineer_index.h"
#include "session/engineer_list.h"
#include "session/participants.h"
#include "session/revision_watcher.h"

namespace quill::control {
class PdfViewerControl;
}
namespace quill::platform {
class Prompter;
}
namespace quill::sync {
class PageAnnotMap;
}

namespace quill::session {

// Where the flow ended: kFinished, or what stopped it.
enum class ConsolidationStop {
    kFinished,
    kAlreadyRunning,  // a second OK while the flow runs: nothing done
    kUnderReview,     // a comment is still under review
    kDeclined,        // no applied comment, and the initiator chose not to go on
    kMergeDetail,     // the comment details were not carried into the target
    kMerge,           // a comment was not merged into the target
    kPublish,         // the publish into the target failed or the queue did not drain
    kFinishInternal,  // the internal review was not finished
    kSave,            // the result document was not saved
    kUpload,          // the content store did not take it
    kConvertResult,   // the conversion report was refused
    kParticipants,    // the participants did not come
    kFinishAll,       // an engineer was not finished
    kCloseSquad,      // the review was not closed
};

class ConsolidationFlow {
public:
    // What the page lends the flow. Nothing is owned; all of it outlives the flow.
    struct Parts {
        LaunchParams* params = nullptr;  // SQUADDOCNM is cleaned in place
        std::string workingFolder;
        review::ReviewSession* session = nullptr;  // publishToParent
        CommentIndex* index = nullptr;
        EngineerIndex* engineers = nullptr;
        ConsolidationRequests* requests = nullptr;
        platform::Prompter* prompter = nullptr;  // platform::Prompts() when null
        control::PdfViewerControl* control = nullptr;
        // The comment records' page maps; null, or answering null, when there are none.
        std::function<sync::PageAnnotMap*()> pageMaps;
        // The viewer dialog's handler of a changed annotation: queues the change for the server.
        std::function<void(int page, int annotIndex)> annotModified;
        // The main window's wait for the autosave queue to drain; true when it drained.
        std::function<bool()> waitForDrain;
        // The main window's publish without asking first; true when it published.
        std::function<bool()> publishComments;
        // The main window's busy display, on with its text, or off.
        std::function<void(bool on, const std::string& text)> showBusy;
        // Lets pending window messages be handled.
        std::function<void()> pumpEvents;
        // The page's OK button and the finish dialog's close button.
        std::function<void(bool enabled)> setControlsEnabled;
        // Ends the finish dialog with OK.
        std::function<void()> finishDialogOk;
        // The revision watcher's block: it stays quiet while the flow runs and after the client
        // closed the review itself. May be null.
        std::shared_ptr<WatcherState> watcher;
        uintptr_t mainWindow = 0;  // handed to the content store's client, kept only
        // The content store's requests; empty: HTTP.
        ecm::EcmClient::RequestFactory ecmFactory;
        net::HttpTimeouts ecmTimeouts;
    };

    static constexpr const char* kUnderReviewMessage = "Comments are being reviewed.";
    static constexpr const char* kBusyText = "Waiting...";
    static constexpr const char* kNoNewCommentQuestion =
        "New comment is not existing.\nDo you want to finish squad check consolidation?";
    static constexpr const char* kStillSendingMessage =
        "Some comment changes are still being sent to the server.\nPlease press OK again in a "
        "moment.";
    static constexpr const char* kSaveFailedMessage =
        "The result document cannot be saved.\nPlease check the working folder and press OK "
        "again.";
    // Code page 949: "파일 아이디 %s\nPDF파일 %s\n업데이트 오류." with the identifier and the name.
    static constexpr const char* kConvertResultFormat =
        "\xC6\xC4\xC0\xCF \xBE\xC6\xC0\xCC\xB5\xF0 %s\nPDF\xC6\xC4\xC0\xCF %s\n"
        "\xBE\xF7\xB5\xA5\xC0\xCC\xC6\xAE \xBF\xC0\xB7\xF9.";
    // The caller's identifier buffer of the content store's client.
    static constexpr size_t kIdentifierBufferSize = 101;

    explicit ConsolidationFlow(Parts parts);

    // "PARTICIPANTS" and "LASTMODIFIEDDATE" into the participant table. False (after "Comment
    // check network error.") when the participants did not come.
    bool LoadParticipants();
    // The engineer list in its order, with the finished flags set in the engineer index.
    std::vector<AuthorLine> FillEngineerList();
    // The OK button. publishChecked: the publish check box (shown in gather mode only).
    ConsolidationStop FinishConsolidation(bool publishChecked);
    // Uploads the file: the content identifier, or empty after the failure's message.
    std::string UploadResultDocument(const std::string& path);

    const ParticipantTable& Participants() const { return participants_; }
    bool Running() const { return running_; }

private:
    platform::Prompter& Prompts() const;
    ConsolidationStop Run(bool publishChecked);
    ConsolidationStop GatherIntoTarget();
    // Recolours the applied comments as the initiator's, queues and publishes them into the
    // target review; false after its message when the publish or the drain failed.
    bool PublishToTarget();
    void RemoveUnappliedComments();
    // Saves the document under the result name; false after its message when no complete file
    // was written.
    bool SaveResultDocument(const ResultDocument& document);
    ConsolidationStop ReportAndFinish(const ResultDocument& document, const std::string& id);
    void Pump() const;

    Parts parts_;
    ParticipantTable participants_;
    bool running_ = false;
};

// The Korean conversion-report message with the identifier and the name filled in.
std::string ConvertResultMessage(const std::string& identifier, const std::string& name);

}  // namespace quill::session
