// The content-store client: a session with the store, the upload of one document, its close.
#pragma once
#include "ecm/ecm_names.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/http_timeouts.h"
#include "net/request.h"

namespace quill::ecm {

// Results of ContentUP and DisConnect other than 0 (done).
enum EcmResult : int {
    kEcmOk = 0,
    kEcmNotConnected = 1,    // no session: Connect first, or it failed
    kEcmBadArgument = 2,     // no buffer, no path
    kEcmNoFile = 3,          // the document cannot be opened or read, or it is empty
    kEcmTransferFailed = 4,  // the connection failed or ended early
    kEcmRefused = 5,         // the store answered with another status than 200
    kEcmBadIdentifier = 6,   // the store's identifier is empty, too long or holds unsafe bytes
    kEcmBufferTooSmall = 7,  // the identifier and its terminating zero do not fit the buffer
};

class EcmClient {
public:
    // A fresh request for every exchange; the default speaks HTTP through the net layer.
    using RequestFactory = std::function<std::unique_ptr<net::Request>()>;

    explicit EcmClient(RequestFactory factory = {}, const net::HttpTimeouts& timeouts = {});
    EcmClient(const EcmClient&) = delete;
    EcmClient& operator=(const EcmClient&) = delete;

    // The values a session is opened with, in the system code page; they go to the store as
    // UTF-8.
    void SetUserID(const std::string& userId) { userId_ = userId; }
    void SetLocCD(const std::string& locCd) { locCd_ = locCd; }
    void SetSvrID(const std::string& svrId) { svrId_ = svrId; }
    // The owner window of the caller; kept only, the store never sees it.
    void SetHWND(uintptr_t window) { window_ = window; }
    uintptr_t HWND() const { return window_; }

    // Opens a session: > 0 when the store answered 200 with a well-formed token; 0 when it
    // refused, answered something else, or no host or port was given; < 0 when the
    // connection failed. A session opened before is forgotten either way.
    int Connect(const std::string& host, int port);
    // Uploads the file at path (a UTF-8 path on disk), streamed from disk with its length,
    // under its own file name. 0 when stored: buffer then holds the content identifier and a
    // terminating zero; otherwise an EcmResult, and buffer (when it has room) holds "".
    int ContentUP(const std::string& path, char* buffer, size_t bufferSize);
    // The same, the identifier returned as a string (empty on failure).
    int ContentUP(const std::string& path, std::string& identifier);
    // Closes the session: 0 when the store confirmed, else an EcmResult (or < 0 when the
    // connection failed, as kEcmTransferFailed).
    int DisConnect();

    bool Connected() const { return !token_.empty(); }
    // Why the last operation failed, for the log; empty after success.
    const std::string& ErrorText() const { return errorText_; }

private:
    struct Exchange {
        int result = -1;  // the request's send result: 1 for 200, 0 another status, -1 failed
        std::string reply;
    };
    // POSTs to target on the store, with an empty body, and reads the reply.
    Exchange PostEmpty(const std::string& target);
    int Upload(const std::string& path, std::string& identifier);
    int Fail(int code, const std::string& text);

    RequestFactory factory_;
    net::HttpTimeouts timeouts_;
    std::string userId_;
    std::string locCd_;
    std::string svrId_;
    uintptr_t window_ = 0;
    std::string host_;
    int port_ = 0;
    std::string token_;
    std::string errorText_;
};

// The file name part of a path: what follows its last "/".
std::string FileNameOf(const std::string& path);

}  // namespace quill::ecm
