#include "sync/wire/http_autosave_connection.h"
#include "sync/sync_names.h"

namespace quill::sync {

HttpAutosaveConnection::HttpAutosaveConnection(const std::string& host, int port)
    : cancel_(std::make_shared<TransferCancel>()), connector_(host, port) {
    connector_.Form().SetCancel(cancel_);
}

AutosaveConnectionFactory HttpAutosaveConnection::Factory(const std::string& host, int port) {
    return [host, port]() -> std::unique_ptr<AutosaveConnection> {
        return std::make_unique<HttpAutosaveConnection>(host, port);
    };
}

std::unique_ptr<ParamMap> HttpAutosaveConnection::Send(const ParamMap& request) {
    auto reply = connector_.Send(request);
    unanswered_ = connector_.LastSendUnanswered();
    return reply;
}

bool HttpAutosaveConnection::GetText(const std::string& url, std::string& reply) {
    CHttpForm& form = connector_.Form();
    const int result = form.Get(url);
    unanswered_ = result <= 0 && IsUnansweredTransfer(result, form.ErrorCode());
    if (result <= 0) {
        reply.clear();
        return false;
    }
    reply = form.ReplyText();
    return true;
}

}  // namespace quill::sync
