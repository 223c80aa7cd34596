// The autosave connection over the client's HTTP layer (CHttpForm): the requests and the
// reply handling of the autosave exchange.
#pragma once

#include <memory>
#include <string>

#include "net/http_form.h"
#include "sync/autosave_connection.h"

class HttpAutosaveConnection : public AutosaveConnection {
public:
    HttpAutosaveConnection(const std::string& host, int port);

    std::unique_ptr<ParamMap> Send(const ParamMap& request) override;
    bool GetText(const std::string& url, std::string& reply) override;
    bool LastSendUnanswered() const override { return unanswered_; }
    void SetShowTransferErrors(bool show) override { showTransferErrors_ = show; }

    // The form itself, for time-outs.
    CHttpForm& Form() { return form_; }

    // A factory for the worker: a new connection to host:port per call.
    static AutosaveConnectionFactory Factory(const std::string& host, int port);

private:
    void TransferFailed(const std::string& url, int result, ParamMap& reply);

    std::string host_;
    int port_;
    CHttpForm form_;
    bool unanswered_ = false;
    bool showTransferErrors_ = true;
};

// Whether an HTTP result of CHttpForm (result and error code) means that the review server
// never answered: a transfer failure, or a gateway's 502, 503 or 504.
bool IsUnansweredTransfer(int result, int errorCode);
