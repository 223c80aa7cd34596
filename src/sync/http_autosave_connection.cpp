#include "sync/http_autosave_connection.h"

#include <cstdio>

#include "app/logs.h"
#include "net/autosave_reply.h"
#include "net/http_post_data.h"
#include "net/param_form.h"
#include "platform/prompter.h"
#include "sync/log_step.h"
#include "sync/queue_requests.h"
#include "sync/update_reply.h"

namespace {

std::string ServerAddress(const std::string& host, int port, const char* path) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, ":%d", port);
    return "http://" + host + prefix + path;
}

std::string Formatted(const char* format, int number, const std::string& text) {
    std::string out(format);
    const size_t d = out.find("%d");
    if (d != std::string::npos) out.replace(d, 2, std::to_string(number));
    const size_t s = out.find("%s");
    if (s != std::string::npos) out.replace(s, 2, text);
    return out;
}

}  // namespace

bool IsUnansweredTransfer(int result, int errorCode) {
    if (result < 0) return true;
    return result == 0 && (errorCode == 502 || errorCode == 503 || errorCode == 504);
}

HttpAutosaveConnection::HttpAutosaveConnection(const std::string& host, int port)
    : host_(host), port_(port), form_(host, port) {}

AutosaveConnectionFactory HttpAutosaveConnection::Factory(const std::string& host, int port) {
    return [host, port]() -> std::unique_ptr<AutosaveConnection> {
        return std::make_unique<HttpAutosaveConnection>(host, port);
    };
}

void HttpAutosaveConnection::TransferFailed(const std::string& url, int result, ParamMap& reply) {
    const int status = form_.ErrorCode();
    const std::string& statusText = form_.ErrorText();
    unanswered_ = IsUnansweredTransfer(result, status);
    std::string message;
    int code = status;
    if (status == 404) {
        code = kNotFoundCode;
        message = Formatted("From HTTP server: %d\n%s", status, statusText) + "\nrequest: " + url;
    } else if (status == 500) {
        code = kServerErrorCode;
        message = Formatted("From HTTP server: %d\n%s", status, statusText);
    } else {
        message = "An error occured while HTTP connection...\n" +
                  Formatted("From HTTP server: %d\n%s", status, statusText);
    }
    reply["errorCode"] = static_cast<int32_t>(code);
    reply["errorMsg"] = message;
    if (showTransferErrors_) platform::Prompts().Error(message);
}

std::unique_ptr<ParamMap> HttpAutosaveConnection::Send(const ParamMap& request) {
    LogStep step("Send");
    auto reply = std::make_unique<ParamMap>();
    unanswered_ = false;
    const ParamValue* cmdValue = request.Find("CMD");
    const std::string cmd = cmdValue ? cmdValue->AsText() : std::string();
    const bool autosave = cmd == kCmdAutoSave;
    if (!autosave && cmd != kCmdUpdate && cmd != kCmdUpdateFileAttach) {
        (*reply)["errorCode"] = static_cast<int32_t>(kWrongCommandCode);
        (*reply)["errorMsg"] = "Wrong command arrived.";
        return reply;
    }

    std::string url;
    bool move = false;
    int result = 0;
    if (autosave) {
        const std::string body = ParameterForm(request);
        const ParamValue* action = request.Find("actionType");
        move = action && action->AsText() == "3";
        url = ServerAddress(host_, port_, move ? "/Comm/movedcmnt.do" : "/Comm/autoSave.do");
        const ParamValue* nm = request.Find("NM");
        WriteRequestLog(body, nm ? nm->AsText() : std::string());
        step.Log("URL: " + url);
        result = form_.Post(url, HttpPostData(body));
    } else {
        const char* path = cmd == kCmdUpdate ? "/Comm/update.do?" : "/Comm/updateFileAttach.do?";
        url = ServerAddress(host_, port_, path) + ParameterForm(request);
        step.Log("URL: " + url);
        result = form_.Get(url);
    }
    if (result <= 0) {
        TransferFailed(url, result, *reply);
        return reply;
    }

    std::string text = form_.ReplyText();
    if (autosave) {
        const bool expected = move ? text == "0" : text.find("{\"r\":") != std::string::npos;
        if (!expected) platform::Prompts().Error("Comment network error.");
        WriteLog("Received", text);
        if (text == "0") text = "{\"r\": 0}";
    }
    ReadReplyText(cmd, text, *reply);
    return reply;
}

bool HttpAutosaveConnection::GetText(const std::string& url, std::string& reply) {
    unanswered_ = false;
    const int result = form_.Get(url);
    if (result <= 0) {
        unanswered_ = IsUnansweredTransfer(result, form_.ErrorCode());
        reply.clear();
        return false;
    }
    reply = form_.ReplyText();
    return true;
}
