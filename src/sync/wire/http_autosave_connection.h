// The autosave connection over the client's HTTP layer: the worker's view of HttpConnector.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>

#include "net/transfer_cancel.h"
#include "sync/wire/autosave_connection.h"
#include "sync/wire/http_connector.h"

namespace quill::sync {

class HttpAutosaveConnection : public AutosaveConnection {
public:
    HttpAutosaveConnection(const std::string& host, int port);

    std::unique_ptr<ParamMap> Send(const ParamMap& request) override;
    bool GetText(const std::string& url, std::string& reply) override;
    bool LastSendUnanswered() const override { return unanswered_; }
    void SetShowTransferErrors(bool show) override { connector_.SetShowTransferErrors(show); }
    void Cancel() override { cancel_->Cancel(); }

    // The form itself, for time-outs.
    CHttpForm& Form() { return connector_.Form(); }

    // A factory for the worker: a new connection to host:port per call.
    static AutosaveConnectionFactory Factory(const std::string& host, int port);

private:
    std::shared_ptr<TransferCancel> cancel_;
    HttpConnector connector_;
    bool unanswered_ = false;
};

}  // namespace quill::sync
