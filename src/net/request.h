// One HTTP request: the operations that CHttpForm drives and the state it reads back.
#pragma once
#include "net/net_names.h"

#include <cstddef>
#include <string>

namespace quill::net {

class Request {
public:
    virtual ~Request() = default;

    // 1 on success, -1 on a failure of the transfer layer.
    virtual int OpenConnection(const std::string& host, int port) = 0;
    // 0 without a connection; 1 on success; -1 if no request came about.
    virtual int OpenRequest(const std::string& path, bool post, bool secure) = 0;
    // Sends headers ("Name: value\r\n" lines) and body in one go, then reads the status:
    // 1 for status 200, 0 for any other status, -1 for a transfer failure.
    virtual int SendRequest(const char* headers, size_t headerLength, const char* body,
                            size_t bodyLength) = 0;
    // A streamed send: SendRequestEx, then Write the body, then EndRequest (which reads
    // the status as SendRequest does).
    virtual int SendRequestEx(size_t totalLength) = 0;
    virtual int EndRequest() = 0;
    virtual void CloseRequest() = 0;
    virtual void Close() = 0;
    // Adds the header line "name value"; with replace an earlier line of the same name is
    // replaced, else the line is added only if the name is new. Returns the line's
    // length, or -1.
    virtual int AddHeader(const std::string& name, const std::string& value, bool replace) = 0;
    // Puts a cookie for url's host into the process-wide cookie store. 1 or -1.
    virtual int SetCookie(const std::string& url, const std::string& name,
                          const std::string& data) = 0;
    // Body bytes of a streamed send; the count taken, or -1.
    virtual int Write(const char* data, size_t length) = 0;
    // Reply bytes: reads until length bytes have come or the reply has ended; the count,
    // or -1 when the transfer failed.
    virtual int Read(char* buffer, size_t length) = 0;

    // Reads the whole reply into ReplyText(): pieces of up to 4095 bytes, each taken up to
    // its first zero byte (the reply is text). 1 on success, -1 on a transfer failure or when
    // the text grows past limit bytes (0: no limit), with -9 as the error then.
    int ReadReplyText(size_t limit = 0);

    int ErrorCode() const { return errorCode_; }
    const std::string& ErrorText() const { return errorText_; }
    const std::string& ReplyText() const { return replyText_; }
    int StatusCode() const { return statusCode_; }
    const std::string& StatusText() const { return statusText_; }
    const std::string& UserAgent() const { return userAgent_; }
    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    const std::string& ObjectPath() const { return objectPath_; }
    bool Secure() const { return secure_; }

protected:
    int errorCode_ = 0;
    std::string errorText_;
    std::string replyText_;
    int statusCode_ = -1;
    std::string statusText_;
    std::string userAgent_;
    std::string host_;
    int port_ = 0;
    std::string objectPath_;
    bool secure_ = false;
};

}  // namespace quill::net
