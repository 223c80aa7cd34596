// The autosave sender over HTTP to the review server: AUTOSAVE, UPDATE, UPDATE_FILE_ATTACH.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>

#include "net/http_form.h"
#include "sync/wire/connector.h"

namespace quill::sync {

class HttpConnector : public Connector {
public:
    // host and port of the review server (the HOST and PORT launch values).
    HttpConnector(const std::string& host, int port);
    ~HttpConnector() override;

    // AUTOSAVE posts the parameter form to "/Comm/autoSave.do" ("/Comm/movedcmnt.do" for
    // actionType 3); UPDATE and UPDATE_FILE_ATTACH get "/Comm/update.do" and
    // "/Comm/updateFileAttach.do" with the form as query. Any other CMD gives errorCode 401.
    // A failed transfer gives errorCode 203 (HTTP 404), 202 (HTTP 500) or the form's error
    // code, and is shown to the user; a reply that is no JSON gives 301.
    std::unique_ptr<ParamMap> Send(ParamMap& params) override;
    std::unique_ptr<ParamMap> Send(const ParamMap& params);

    // True when the last Send got no answer from the review server itself: no connection, a
    // connection dropped or timed out, or a gateway's 502, 503 or 504 in its place.
    bool LastSendUnanswered() const { return unanswered_; }
    // Whether Send shows transfer failures in a message box itself (the default). The
    // autosave worker turns this off and tells the reviewer once per outage instead.
    void SetShowTransferErrors(bool show) { showTransferErrors_ = show; }

    CHttpForm& Form() { return *form_; }

private:
    // The full URL of one of the review server's paths.
    std::string Address(const char* path) const;
    void TransferFailed(const std::string& url, int result, ParamMap& reply);

    std::string host_;
    int port_;
    std::unique_ptr<CHttpForm> form_;
    bool unanswered_ = false;
    bool showTransferErrors_ = true;
};

// Whether an HTTP result of CHttpForm (result and error code) means that the review server
// never answered: a transfer failure, or a gateway's 502, 503 or 504.
bool IsUnansweredTransfer(int result, int errorCode);

}  // namespace quill::sync
