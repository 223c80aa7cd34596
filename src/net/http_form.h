// A client of one server: GET, download to a file and POST, keeping the reply or the
// error of the last request.
#pragma once
#include "net/net_names.h"

#include <memory>
#include <string>

#include "net/http_post_data.h"
#include "net/http_timeouts.h"
#include "net/request.h"
#include "net/transfer_cancel.h"

namespace quill::net {

class CHttpForm {
public:
    // server: a host name, "host:port", or an absolute URL; a port of 0 means the
    // scheme's default.
    CHttpForm(const std::string& server, int port);
    virtual ~CHttpForm() = default;
    CHttpForm(const CHttpForm&) = delete;
    CHttpForm& operator=(const CHttpForm&) = delete;

    // url: an absolute "http://" or "https://" URL, or a path on the form's server.
    // Each returns > 0 on success; 0 for an invalid URL or a status other than 200;
    // < 0 for a transfer failure or a local file error.
    int Get(const std::string& url);
    // Streams the reply into localPath block by block; a failed download leaves no file.
    int DownloadFile(const std::string& url, const std::string& localPath);
    int Post(const std::string& url, const HttpPostData& body);

    // Takes url apart into the form's scheme, host, port and path. False, with error -1
    // and "ERROR: Invalid URL(...)", when the result is not a usable http(s) address.
    bool PrepareUrl(const std::string& url);

    // Reply text of the last request, without leading and trailing blanks, tabs and
    // line breaks.
    const std::string& ReplyText() const { return replyText_; }
    // Caps the reply text of Get and Post (0, the default: no cap); a longer reply is a failed
    // request (-9). Downloads go to a file and keep no cap.
    void SetReplyLimit(size_t bytes) { replyLimit_ = bytes; }
    const std::string& ErrorText() const { return errorText_; }
    int ErrorCode() const { return errorCode_; }

    const std::string& Scheme() const { return scheme_; }
    const std::string& Host() const { return host_; }
    const std::string& Path() const { return path_; }
    int Port() const { return port_; }
    bool Secure() const { return secure_; }

    // A switch that ends the form's transfer in flight from another thread and fails its later
    // requests at once (< 0, error TransferCancel::kCancelledCode); none by default.
    void SetCancel(std::shared_ptr<TransferCancel> cancel) { cancel_ = std::move(cancel); }
    const std::shared_ptr<TransferCancel>& CancelSwitch() const { return cancel_; }

    void SetTimeouts(const net::HttpTimeouts& timeouts) { timeouts_ = timeouts; }
    const net::HttpTimeouts& Timeouts() const { return timeouts_; }

protected:
    // A fresh request for every call.
    virtual std::unique_ptr<Request> MakeRequest() const;

private:
    int Perform(const std::string& url, const HttpPostData* body, const std::string* localPath);
    int StreamToFile(Request& request, const std::string& localPath, bool& created);
    void SplitAbsolute(const std::string& url, size_t schemeLength);
    void TakePort();
    int SetError(int code, const std::string& text, int result);

    std::string scheme_ = "http";
    std::string host_;
    std::string path_;
    int port_ = 0;
    bool secure_ = false;
    size_t replyLimit_ = 0;
    std::string replyText_;
    std::string errorText_;
    int errorCode_ = 0;
    net::HttpTimeouts timeouts_;
    std::shared_ptr<TransferCancel> cancel_;
};

}  // namespace quill::net
