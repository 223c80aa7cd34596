#include "net/http_form.h"
#include "net/net_names.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "app/launch_params.h"
#include "net/web_request.h"

namespace quill::net {

namespace {

// Download blocks: large enough that a fast link is not held up by the writes.
constexpr size_t kDownloadBlock = 64 * 1024;

// Length of the scheme when url begins with "http://" or "https://" in any case, else 0.
size_t AbsoluteSchemeLength(const std::string& url) {
    if (url.size() >= 7 && strncasecmp(url.c_str(), "http://", 7) == 0) return 4;
    if (url.size() >= 8 && strncasecmp(url.c_str(), "https://", 8) == 0) return 5;
    return 0;
}

std::string TrimReply(const std::string& text) {
    const char* blanks = "\r\n\t ";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool WriteAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

CHttpForm::CHttpForm(const std::string& server, int port) : port_(port) {
    if (size_t schemeLength = AbsoluteSchemeLength(server)) {
        SplitAbsolute(server, schemeLength);
    } else {
        host_ = server;
    }
    secure_ = scheme_ == "https";
    TakePort();
}

void CHttpForm::SplitAbsolute(const std::string& url, size_t schemeLength) {
    scheme_ = url.substr(0, schemeLength);
    std::string rest = url.substr(schemeLength + 3);
    size_t slash = rest.find('/');
    if (slash != std::string::npos && slash != 0) {
        host_ = rest.substr(0, slash);
        path_ = rest.substr(slash);
    } else {
        host_ = rest;
        path_.clear();
    }
}

void CHttpForm::TakePort() {
    // "host:port"; a bracketed IPv6 address keeps the colons inside its brackets.
    size_t from = 1;
    if (!host_.empty() && host_.front() == '[') {
        size_t close = host_.find(']');
        from = close == std::string::npos ? host_.size() : close + 1;
    }
    size_t colon = host_.size() > from ? host_.find(':', from) : std::string::npos;
    if (colon != std::string::npos) {
        port_ = AtoiLike(host_.substr(colon + 1));
        host_.resize(colon);
    }
    if (port_ == 0) port_ = secure_ ? 443 : 80;
}

bool CHttpForm::PrepareUrl(const std::string& url) {
    if (size_t schemeLength = AbsoluteSchemeLength(url)) {
        SplitAbsolute(url, schemeLength);
    } else {
        path_ = url;
    }
    secure_ = scheme_ == "https";
    TakePort();
    if (path_.empty() || path_.front() != '/') path_.insert(path_.begin(), '/');
    bool valid = (scheme_ == "http" || scheme_ == "https") && !host_.empty() &&
                 host_.find('/') == std::string::npos && port_ > 0 && port_ <= 65535;
    if (!valid) {
        char port[16];
        std::snprintf(port, sizeof port, "%d", port_);
        SetError(-1, "ERROR: Invalid URL(" + scheme_ + "://" + host_ + ":" + port + path_ + ")", 0);
    }
    return valid;
}

int CHttpForm::Get(const std::string& url) { return Perform(url, nullptr, nullptr); }

int CHttpForm::DownloadFile(const std::string& url, const std::string& localPath) {
    return Perform(url, nullptr, &localPath);
}

int CHttpForm::Post(const std::string& url, const HttpPostData& body) {
    return Perform(url, &body, nullptr);
}

std::unique_ptr<Request> CHttpForm::MakeRequest() const {
    return std::make_unique<WebRequest>(timeouts_, cancel_);
}

int CHttpForm::Perform(const std::string& url, const HttpPostData* body,
                       const std::string* localPath) {
    replyText_.clear();
    errorText_.clear();
    errorCode_ = 0;
    if (!PrepareUrl(url)) return 0;

    std::unique_ptr<Request> request = MakeRequest();
    bool formError = false;  // the failure is the form's own (a local file), not the request's
    bool created = false;
    int result = request->OpenConnection(host_, port_);
    if (result > 0) {
        result = request->OpenRequest(path_, body != nullptr, secure_);
        if (result > 0) {
            if (body) {
                std::string headers = "Content-Type: " + body->ContentType() + "\r\n";
                // A form body ends at its first zero byte; any other body goes by length.
                size_t length =
                    body->IsForm() ? std::char_traits<char>::length(body->Data()) : body->Length();
                result = request->SendRequest(headers.data(), headers.size(), body->Data(), length);
            } else {
                result = request->SendRequest(nullptr, 0, nullptr, 0);
            }
            if (result > 0) {
                if (localPath) {
                    result = StreamToFile(*request, *localPath, created);
                    formError = result < 0 && errorCode_ != 0;
                } else {
                    result = request->ReadReplyText(replyLimit_);
                }
            }
            request->CloseRequest();
        }
    }
    request->Close();

    if (result > 0) {
        if (!localPath) replyText_ = TrimReply(request->ReplyText());
    } else if (!formError) {
        errorCode_ = request->ErrorCode();
        errorText_ = request->ErrorText();
    }
    // A part-written document must not pass for the real one.
    if (localPath && result <= 0 && created) std::remove(localPath->c_str());
    return result;
}

int CHttpForm::StreamToFile(Request& request, const std::string& localPath, bool& created) {
    int fd = ::open(localPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return SetError(-6, "ERROR: Cannot Open File(" + localPath + ")", -1);
    created = true;
    std::vector<char> block(kDownloadBlock);
    int result = 1;
    for (;;) {
        int n = request.Read(block.data(), block.size());
        if (n < 0) {
            result = -1;  // the request's error
            break;
        }
        if (n == 0) break;
        if (!WriteAll(fd, block.data(), static_cast<size_t>(n))) {
            result = SetError(-7, "ERROR: Cannot Write File(" + localPath + ")", -1);
            break;
        }
    }
    if (::close(fd) != 0 && result > 0)
        result = SetError(-7, "ERROR: Cannot Write File(" + localPath + ")", -1);
    return result;
}

int CHttpForm::SetError(int code, const std::string& text, int result) {
    errorCode_ = code;
    errorText_ = text;
    return result;
}

}  // namespace quill::net
