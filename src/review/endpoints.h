// The review server's addresses: every path under "/Comm/" that the client calls, in one table.
#pragma once
#include "review/review_names.h"

#include <string>

namespace quill::review::endpoint {

// Review steps (GET with a query; see ReviewClient).
inline constexpr const char* kRevision = "/Comm/revision.do";
inline constexpr const char* kReviewDecisions = "/Comm/revcmnt.do";
inline constexpr const char* kPublish = "/Comm/publish.do";
inline constexpr const char* kUnpublishedCount = "/Comm/checkautosaved.do";
inline constexpr const char* kClearQueue = "/Comm/deletequeue.do";
inline constexpr const char* kParticipants = "/Comm/cmntuser.do";
inline constexpr const char* kCloseSquad = "/Comm/closesquad.do";
inline constexpr const char* kLastModifiedDate = "/Comm/lastmodifieddate.do";
inline constexpr const char* kFinishInternalReview = "/Comm/finishinternalreview.do";
inline constexpr const char* kFeedbackSummary = "/Comm/feedbacksummary.do";
inline constexpr const char* kCommentOutcomes = "/Comm/cmntoutcome.do";
inline constexpr const char* kReview = "/Comm/review.do";
inline constexpr const char* kFeedback = "/Comm/feedback.do";
inline constexpr const char* kFinish = "/Comm/finish.do";
inline constexpr const char* kFinishAll = "/Comm/finishall.do";
inline constexpr const char* kCommentDetail = "/Comm/cmntDtl.do";
inline constexpr const char* kDeleteCommentDetail = "/Comm/delCmntDtl.do";
inline constexpr const char* kMerge = "/Comm/merge.do";
inline constexpr const char* kMergeCommentDetail = "/Comm/mergeCommentDtl.do";

// The comment queue (form bodies, or the form as the query).
inline constexpr const char* kAutoSave = "/Comm/autoSave.do";
inline constexpr const char* kMovedComment = "/Comm/movedcmnt.do";
inline constexpr const char* kUpdate = "/Comm/update.do";
inline constexpr const char* kUpdateFileAttach = "/Comm/updateFileAttach.do";

// "/Comm/fileAttachlist.do?docId=...&rev=N": the revisions holding file attachments after rev.
std::string FileAttachList(const std::string& docId, int revision);
// "/Comm/download.do?file=<element id>.pdf": the review document; the id is escaped so that a
// "&", "#" or blank in it cannot change the request.
std::string Download(const std::string& elementId);
// "http://host:port" + path.
std::string OnServer(const std::string& host, int port, const std::string& path);

}  // namespace quill::review::endpoint
