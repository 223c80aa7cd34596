// The review server's commands: one GET each, built from the launch values and the
// client's session values, answered by a short text.
#pragma once
#include "review/review_names.h"

#include <memory>
#include <string>

#include "app/launch_params.h"
#include "net/http_timeouts.h"
#include "net/transfer_cancel.h"
#include "review/review_session.h"

namespace quill::review {

// A reply as it came: arrived is set only when the server answered 200, so that a dropped
// transfer is never mistaken for an empty reply.
struct CommandReply {
    bool arrived = false;
    std::string body;
};

class ReviewClient {
public:
    // Longer replies to review commands are failed requests.
    static constexpr size_t kMaxReviewReplyBytes = 4 * 1024 * 1024;

    // Both are only read, and must outlive the client.
    ReviewClient(const LaunchParams& params, const ReviewSession& session);

    // Sends one of "REVISION", "REVIEW", "PUBLISH", "UDQSIZE", "CLEAR", "PARTICIPANTS",
    // "SQUADCLOSEALL", "LASTMODIFIEDDATE", "FINISHINTERNALREVIEW", "FEEDBACKSUMMARY" and
    // returns the reply body unchanged (empty when nothing came back). Any other name sends
    // nothing, is noted in the diagnostic log and answers an empty text.
    std::string SendReviewCommand(const std::string& command) const;
    // The same, telling a failed transfer from an empty 200 reply.
    CommandReply SendCommand(const std::string& command) const;
    // The request of a command, or an empty text for an unknown name.
    std::string CommandUrl(const std::string& command) const;

    // The single-purpose senders; each returns the reply body.
    // contents: the comment's contents text as the comment list holds it.
    std::string SendReview(const std::string& cmntId, bool apply, const std::string& text,
                           const std::string& contents) const;
    std::string SendFeedback(const std::string& cmntId, bool agree, const std::string& text) const;
    std::string SendFinish(int finish, const std::string& text) const;
    std::string SendFinishAll(int patcpSeq, const std::string& text) const;
    std::string SendCommentDetail(const std::string& cmntId, const std::string& text) const;
    std::string DeleteCommentDetail(const std::string& cmntId) const;
    std::string SendMerge(const std::string& cmntId, const std::string& text) const;
    std::string SendMergeCommentDetail() const;
    std::string SendConvertResult(const std::string& fileName, const std::string& ecmNo) const;

    // Downloads the review document into file: > 0 on success, else the HTTP layer's result,
    // with its text in *errorText when given. A failed download leaves no file of its own.
    int DownloadDocument(const std::string& file, std::string* errorText = nullptr) const;

    // Time-outs of the requests (the defaults keep a dead server from hanging the client).
    void SetTimeouts(const net::HttpTimeouts& timeouts) { timeouts_ = timeouts; }
    // A switch that another thread throws to end the request in flight (the revision poll).
    void SetCancel(std::shared_ptr<net::TransferCancel> cancel) { cancel_ = std::move(cancel); }

private:
    // GETs url (on the review server unless it names its own host), logs the exchange
    // unless told not to, and returns the reply body.
    std::string Send(const std::string& tag, const std::string& url, bool onReviewServer,
                     bool logRequest) const;
    CommandReply SendChecked(const std::string& tag, const std::string& url, bool onReviewServer,
                             bool logRequest) const;

    const LaunchParams& params_;
    const ReviewSession& session_;
    net::HttpTimeouts timeouts_;
    std::shared_ptr<net::TransferCancel> cancel_;
};

// A client bound to the running client's launch values and session.
ReviewClient AppReviewClient();
// SendReviewCommand with the running client's values.
std::string SendReviewCommand(const std::string& command);

}  // namespace quill::review
