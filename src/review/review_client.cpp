#include "review/review_client.h"
#include "review/review_names.h"

#include <cstdarg>
#include <cstdio>

#include "app/logs.h"
#include "net/http_form.h"
#include "platform/code_page.h"
#include "review/conversion_host.h"
#include "review/endpoints.h"
#include "review/query_encoding.h"

namespace quill::review {

namespace {

// printf-style formatting into a string of whatever length the values need. Only
// integers and texts are formatted, so the locale plays no part.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return out;
}

const char* YesNo(bool yes) { return yes ? "Y" : "N"; }

}  // namespace

ReviewClient::ReviewClient(const LaunchParams& params, const ReviewSession& session)
    : params_(params), session_(session) {}

std::string ReviewClient::CommandUrl(const std::string& command) const {
    const LaunchParams& p = params_;
    const char* host = p.HOST.c_str();
    if (command == "REVISION")
        return Format("http://%s:%d%s?docId=%s&rev=%d&squrvwmno=%d&rvwfileseq=%d", host, p.PORT,
                      endpoint::kRevision, EscapeQueryValue(p.docId).c_str(),
                      session_.LatestRevision(), p.SQURVWMNO, p.RVWFILESEQ);
    if (command == "REVIEW")
        return Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d", host, p.PORT,
                      endpoint::kReviewDecisions, p.SQURVWMNO, p.RVWFILESEQ);
    // Decisions and feedback with their texts: the comment-resolution sheet's.
    if (command == "OUTCOME")
        return Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d", host, p.PORT,
                      endpoint::kCommentOutcomes, p.SQURVWMNO, p.RVWFILESEQ);
    if (command == "PUBLISH") {
        const std::string& docId = session_.PublishToParent() ? p.targetDocId : p.docId;
        return Format("http://%s:%d%s?userid=%s&docid=%s", host, p.PORT, endpoint::kPublish,
                      EscapeQueryValue(p.USERID).c_str(), EscapeQueryValue(docId).c_str());
    }
    if (command == "UDQSIZE")
        return Format("http://%s:%d%s?docId=%s&userId=%s", host, p.PORT,
                      endpoint::kUnpublishedCount, EscapeQueryValue(p.docId).c_str(),
                      EscapeQueryValue(p.USERID).c_str());
    if (command == "CLEAR")
        return Format("http://%s:%d%s?docId=%s&userId=%s", host, p.PORT, endpoint::kClearQueue,
                      EscapeQueryValue(p.docId).c_str(), EscapeQueryValue(p.USERID).c_str());
    if (command == "PARTICIPANTS")
        return Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&sitecd=%s", host, p.PORT,
                      endpoint::kParticipants, p.SQURVWMNO, p.RVWFILESEQ,
                      EscapeQueryValue(p.SITECD).c_str());
    if (command == "SQUADCLOSEALL")
        return Format("http://%s:%d%s?squrvwmno=%d&userid=%s&rvwfileseq=%d&stscd=%s", host, p.PORT,
                      endpoint::kCloseSquad, p.SQURVWMNO, EscapeQueryValue(p.OPENERID).c_str(),
                      p.RVWFILESEQ, p.gatherMode ? "99" : "03");
    if (command == "LASTMODIFIEDDATE")
        return Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d", host, p.PORT,
                      endpoint::kLastModifiedDate, p.SQURVWMNO, p.RVWFILESEQ);
    if (command == "FINISHINTERNALREVIEW")
        return Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&userid=%s", host, p.PORT,
                      endpoint::kFinishInternalReview, p.SQURVWMNO, p.RVWFILESEQ,
                      EscapeQueryValue(p.USERID).c_str());
    if (command == "FEEDBACKSUMMARY")
        return Format(
            "http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&patcpseq=%d&"
            "repatcpseq=%d",
            host, p.PORT, endpoint::kFeedbackSummary, p.SQURVWMNO, p.RVWFILESEQ, p.PATCPSEQ,
            p.REPATCPSEQ);
    return {};
}

std::string ReviewClient::SendReviewCommand(const std::string& command) const {
    std::string url = CommandUrl(command);
    if (url.empty()) {
        WriteLog("SendReviewCommand", "Unknown command: " + command);
        return {};
    }
    // The five-second revision poll would drown the request log.
    return Send(command, url, true, command != "REVISION");
}

CommandReply ReviewClient::SendCommand(const std::string& command) const {
    std::string url = CommandUrl(command);
    if (url.empty()) {
        WriteLog("SendCommand", "Unknown command: " + command);
        return {};
    }
    return SendChecked(command, url, true, command != "REVISION");
}

std::string ReviewClient::SendReview(const std::string& cmntId, bool apply, const std::string& text,
                                     const std::string& contents) const {
    const LaunchParams& p = params_;
    std::string shown = platform::TrimMultiByte(contents);
    if (shown.empty()) shown = "N/A";
    // The contents go as their system code page bytes, without the UTF-8 step.
    return Send(
        "SendReview",
        Format("http://%s:%d%s?squrvwmno=%d&patcpseq=%d&repatcpseq=%d&"
               "rvwfileseq=%d&cmntid=%s&cmnt=%s&yesno=%s&userid=%s&contents=%s",
               p.HOST.c_str(), p.PORT, endpoint::kReview, p.SQURVWMNO, p.PATCPSEQ, p.REPATCPSEQ,
               p.RVWFILESEQ, EscapeQueryValue(cmntId).c_str(), EncodeQueryText(text).c_str(),
               YesNo(apply), EscapeQueryValue(p.USERID).c_str(), PercentEncode(shown).c_str()),
        true, true);
}

std::string ReviewClient::SendFeedback(const std::string& cmntId, bool agree,
                                       const std::string& text) const {
    const LaunchParams& p = params_;
    return Send("SendFeedback",
                Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&cmntid=%s&"
                       "cmnt=%s&agree=%s&userid=%s",
                       p.HOST.c_str(), p.PORT, endpoint::kFeedback, p.SQURVWMNO, p.RVWFILESEQ,
                       EscapeQueryValue(cmntId).c_str(), EncodeQueryText(text).c_str(),
                       YesNo(agree), EscapeQueryValue(p.USERID).c_str()),
                true, true);
}

std::string ReviewClient::SendFinish(int finish, const std::string& text) const {
    const LaunchParams& p = params_;
    return Send("SendFinish",
                Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&patcpseq=%d&"
                       "repatcpseq=%d&userid=%s&cmnt=%s&finish=%d",
                       p.HOST.c_str(), p.PORT, endpoint::kFinish, p.SQURVWMNO, p.RVWFILESEQ,
                       p.PATCPSEQ, p.REPATCPSEQ, EscapeQueryValue(p.USERID).c_str(),
                       EncodeQueryText(text).c_str(), finish),
                true, true);
}

std::string ReviewClient::SendFinishAll(int patcpSeq, const std::string& text) const {
    const LaunchParams& p = params_;
    return Send(
        "SendFinishAll",
        Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&patcpseq=%d&"
               "userid=%s&cmnt=%s",
               p.HOST.c_str(), p.PORT, endpoint::kFinishAll, p.SQURVWMNO, p.RVWFILESEQ, patcpSeq,
               EscapeQueryValue(p.OPENERID).c_str(), EncodeQueryText(text).c_str()),
        true, true);
}

std::string ReviewClient::SendCommentDetail(const std::string& cmntId,
                                            const std::string& text) const {
    const LaunchParams& p = params_;
    return Send("SendCommentDetail",
                Format("http://%s:%d%s?squrvwmno=%d&patcpseq=%d&repatcpseq=%d&"
                       "userid=%s&rvwfileseq=%d&inchrguserid=%s&cmntid=%s&cmnt=%s",
                       p.HOST.c_str(), p.PORT, endpoint::kCommentDetail, p.SQURVWMNO, p.PATCPSEQ,
                       p.REPATCPSEQ, EscapeQueryValue(p.USERID).c_str(), p.RVWFILESEQ,
                       EscapeQueryValue(p.OPENERID).c_str(), EscapeQueryValue(cmntId).c_str(),
                       EncodeQueryText(text).c_str()),
                true, true);
}

std::string ReviewClient::DeleteCommentDetail(const std::string& cmntId) const {
    const LaunchParams& p = params_;
    return Send("DeleteCommentDetail",
                Format("http://%s:%d%s?squrvwmno=%d&rvwfileseq=%d&patcpseq=%d&"
                       "repatcpseq=%d&cmntid=%s",
                       p.HOST.c_str(), p.PORT, endpoint::kDeleteCommentDetail, p.SQURVWMNO,
                       p.RVWFILESEQ, p.PATCPSEQ, p.REPATCPSEQ, EscapeQueryValue(cmntId).c_str()),
                true, true);
}

std::string ReviewClient::SendMerge(const std::string& cmntId, const std::string& text) const {
    const LaunchParams& p = params_;
    return Send("SendMerge",
                Format("http://%s:%d%s?tgtsqurvwmno=%d&squrvwmno=%d&patcpseq=%d&"
                       "repatcpseq=%d&userid=%s&rvwfileseq=%d&cmntid=%s&cmnt=%s",
                       p.HOST.c_str(), p.PORT, endpoint::kMerge, p.TGTSQURVWMNO, p.SQURVWMNO,
                       p.PATCPSEQ, p.REPATCPSEQ, EscapeQueryValue(p.USERID).c_str(), p.RVWFILESEQ,
                       EscapeQueryValue(cmntId).c_str(), EncodeQueryText(text).c_str()),
                true, true);
}

std::string ReviewClient::SendMergeCommentDetail() const {
    const LaunchParams& p = params_;
    return Send(
        "SendMergeCommentDetail",
        Format("http://%s:%d%s?tgtsqurvwmno=%d&squrvwmno=%d&"
               "patcpseq=%d&repatcpseq=%d&userid=%s&rvwfileseq=%d",
               p.HOST.c_str(), p.PORT, endpoint::kMergeCommentDetail, p.TGTSQURVWMNO, p.SQURVWMNO,
               p.PATCPSEQ, p.REPATCPSEQ, EscapeQueryValue(p.USERID).c_str(), p.RVWFILESEQ),
        true, true);
}

std::string ReviewClient::SendConvertResult(const std::string& fileName,
                                            const std::string& ecmNo) const {
    const LaunchParams& p = params_;
    return Send("SendConvertResult",
                Format("http://%s/qendra/co/common/sign/savePdfConvertResult.xpl?sysDiv=2&"
                       "squrvwMno=%d&rvwFileSeq=%d&progClscd=%s&fileNm=%s&ecmNo=%s&siteCd=%s",
                       ConversionHost(p.KESTRON).c_str(), p.SQURVWMNO, p.RVWFILESEQ,
                       EscapeQueryValue(p.PROGCLSCD).c_str(), EncodeQueryText(fileName).c_str(),
                       EscapeQueryValue(ecmNo).c_str(), EscapeQueryValue(p.SITECD).c_str()),
                false, true);
}

int ReviewClient::DownloadDocument(const std::string& file, std::string* errorText) const {
    CHttpForm form(params_.HOST, params_.PORT);
    form.SetTimeouts(timeouts_);
    const int result = form.DownloadFile(endpoint::Download(params_.ELEMENTID), file);
    if (result <= 0 && errorText) *errorText = form.ErrorText();
    return result;
}

std::string ReviewClient::Send(const std::string& tag, const std::string& url, bool onReviewServer,
                               bool logRequest) const {
    return SendChecked(tag, url, onReviewServer, logRequest).body;
}

CommandReply ReviewClient::SendChecked(const std::string& tag, const std::string& url,
                                       bool onReviewServer, bool logRequest) const {
    // The conversion service's URL names its own host; the form takes it from there.
    CHttpForm form(onReviewServer ? params_.HOST : std::string(),
                   onReviewServer ? params_.PORT : 0);
    form.SetTimeouts(timeouts_);
    // A review reply is a short text or a small JSON object; megabytes of it are no reply.
    form.SetReplyLimit(kMaxReviewReplyBytes);
    if (cancel_) form.SetCancel(cancel_);
    CommandReply reply;
    if (form.Get(url) > 0) {
        reply.arrived = true;
        reply.body = form.ReplyText();
    } else if (logRequest) {
        char code[16];
        std::snprintf(code, sizeof code, "%d", form.ErrorCode());
        WriteLog(tag, std::string("Request failed: ") + code + " " + form.ErrorText());
    }
    if (logRequest) WriteRequestLog(url, reply.body);
    return reply;
}

ReviewClient AppReviewClient() { return ReviewClient(AppLaunchParams(), AppReviewSession()); }

std::string SendReviewCommand(const std::string& command) {
    return AppReviewClient().SendReviewCommand(command);
}

}  // namespace quill::review
