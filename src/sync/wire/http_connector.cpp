#include "sync/wire/http_connector.h"
#include "sync/sync_names.h"

#include <cstdio>

#include "app/logs.h"
#include "net/http_post_data.h"
#include "platform/prompter.h"
#include "review/endpoints.h"
#include "sync/wire/autosave_reply.h"
#include "sync/wire/param_form.h"

namespace quill::sync {

Connector::~Connector() = default;

HttpConnector::HttpConnector(const std::string& host, int port)
    : host_(host), port_(port), form_(std::make_unique<CHttpForm>(host, port)) {}

HttpConnector::~HttpConnector() = default;

std::string HttpConnector::Address(const char* path) const {
    return quill::review::endpoint::OnServer(host_, port_, path);
}

bool IsUnansweredTransfer(int result, int errorCode) {
    if (result < 0) return true;
    return result == 0 && (errorCode == 502 || errorCode == 503 || errorCode == 504);
}

void HttpConnector::TransferFailed(const std::string& url, int result, ParamMap& reply) {
    const int status = form_->ErrorCode();
    const std::string& statusText = form_->ErrorText();
    unanswered_ = IsUnansweredTransfer(result, status);
    char head[64];
    std::snprintf(head, sizeof head, "From HTTP server: %d\n", status);
    int code = status;
    std::string message;
    if (status == 404) {
        code = kNotFoundCode;
        message = head + statusText + "\nrequest: " + url;
    } else if (status == 500) {
        code = kServerErrorCode;
        message = head + statusText;
    } else {
        message = "An error occured while HTTP connection...\n" + std::string(head) + statusText;
    }
    reply["errorCode"] = static_cast<int32_t>(code);
    reply["errorMsg"] = message;
    if (showTransferErrors_) platform::Prompts().Error(message);
}

std::unique_ptr<ParamMap> HttpConnector::Send(ParamMap& params) {
    return Send(static_cast<const ParamMap&>(params));
}

std::unique_ptr<ParamMap> HttpConnector::Send(const ParamMap& params) {
    static const char* const kStep = "Send";
    WriteLog(kStep, "BEGIN");
    auto reply = std::make_unique<ParamMap>();
    unanswered_ = false;
    auto text_of = [&params](const char* key) {
        const ParamValue* value = params.Find(key);
        return value ? value->AsText() : std::string();
    };
    const std::string cmd = text_of("CMD");
    const bool autosave = cmd == kCmdAutoSave;
    if (!autosave && cmd != kCmdUpdate && cmd != kCmdUpdateFileAttach) {
        (*reply)["errorCode"] = static_cast<int32_t>(kWrongCommandCode);
        (*reply)["errorMsg"] = "Wrong command arrived.";
        WriteLog(kStep, "END");
        return reply;
    }

    std::string url;
    bool move = false;
    int result = 0;
    if (autosave) {
        const std::string body = ParameterForm(params);
        move = text_of("actionType") == "3";
        url = Address(move ? quill::review::endpoint::kMovedComment
                           : quill::review::endpoint::kAutoSave);
        WriteRequestLog(body, text_of("NM"));
        WriteLog(kStep, "URL: " + url);
        result = form_->Post(url, HttpPostData(body));
    } else {
        url = Address(cmd == kCmdUpdate ? quill::review::endpoint::kUpdate
                                        : quill::review::endpoint::kUpdateFileAttach) +
              "?" + ParameterForm(params);
        WriteLog(kStep, "URL: " + url);
        result = form_->Get(url);
    }

    if (result <= 0) {
        TransferFailed(url, result, *reply);
        WriteLog(kStep, "END");
        return reply;
    }

    std::string text = form_->ReplyText();
    if (autosave) {
        const bool accepted = move ? text == "0" : text.find("{\"r\":") != std::string::npos;
        if (!accepted) platform::Prompts().Error("Comment network error.");
        WriteLog("Received", text);
        if (text == "0") text = "{\"r\": 0}";
    }
    ReadReplyText(cmd, text, *reply);
    WriteLog(kStep, "END");
    return reply;
}

}  // namespace quill::sync
