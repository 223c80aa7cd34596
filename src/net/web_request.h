// A Request on libcurl: one easy handle per request, driven synchronously by the caller.
#pragma once
#include "net/net_names.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/http_timeouts.h"
#include "net/request.h"
#include "net/transfer_cancel.h"

struct curl_slist;

namespace quill::net {

class WebRequest : public Request {
public:
    static constexpr size_t kCurlErrorSize = 256;  // CURL_ERROR_SIZE, checked where libcurl is seen
    // cancel: when given, throwing it ends the transfer at once (see TransferCancel).
    explicit WebRequest(const net::HttpTimeouts& timeouts = {},
                        std::shared_ptr<TransferCancel> cancel = nullptr);
    ~WebRequest() override;
    WebRequest(const WebRequest&) = delete;
    WebRequest& operator=(const WebRequest&) = delete;

    int OpenConnection(const std::string& host, int port) override;
    int OpenRequest(const std::string& path, bool post, bool secure) override;
    int SendRequest(const char* headers, size_t headerLength, const char* body,
                    size_t bodyLength) override;
    int SendRequestEx(size_t totalLength) override;
    int EndRequest() override;
    void CloseRequest() override;
    void Close() override;
    int AddHeader(const std::string& name, const std::string& value, bool replace) override;
    int SetCookie(const std::string& url, const std::string& name,
                  const std::string& data) override;
    int Write(const char* data, size_t length) override;
    int Read(char* buffer, size_t length) override;

    // Reads the status of the reply: 1 for 200; else 0 with the status as the error.
    int QueryStatus();

private:
    // Hands the header lines to libcurl and attaches the transfer to the session.
    int Attach();
    // Attaches the transfer and runs it until the reply's status is known.
    int StartTransfer();
    // One round of the transfer: lets libcurl move bytes, and waits for the socket when
    // nothing moved.
    void Step();
    void TakeFinishedResult();
    // code: a CURLcode, kept as int so that libcurl stays out of this header.
    int Fail(int code);
    int FailWith(int code, const std::string& text);
    size_t Available() const { return received_.size() - receivedStart_; }
    void ResumeIfPaused();

    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnUpload(char* out, size_t size, size_t count, void* self);

    net::HttpTimeouts timeouts_;
    std::shared_ptr<TransferCancel> cancel_;
    // libcurl's handles, untyped here so that only this layer's sources see libcurl.
    void* session_ = nullptr;     // the multi handle: drives the one transfer of this request
    void* connection_ = nullptr;  // the easy handle: address, options, transfer state
    bool requestOpen_ = false;
    bool post_ = false;
    bool attached_ = false;
    bool finished_ = false;
    int result_ = 0;  // CURLE_OK
    bool bodyStarted_ = false;
    bool receivePaused_ = false;

    // Reply bytes taken from libcurl and not yet read by the caller.
    std::string received_;
    size_t receivedStart_ = 0;
    // The caller's buffer while Read waits for bytes, and the room left in it.
    char* directTarget_ = nullptr;
    size_t directRoom_ = 0;

    // Added header lines (name, value) and the list handed to libcurl.
    std::vector<std::pair<std::string, std::string>> headerLines_;
    curl_slist* headerList_ = nullptr;

    // Body of a one-call send, or the not yet sent bytes of a streamed send.
    std::string body_;
    size_t bodyStart_ = 0;
    bool streamed_ = false;
    bool uploadPaused_ = false;
    size_t streamedTotal_ = 0;
    size_t streamedWritten_ = 0;

    char errorBuffer_[kCurlErrorSize] = {};
};

}  // namespace quill::net
