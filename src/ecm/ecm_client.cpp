#include "ecm/ecm_client.h"
#include "ecm/ecm_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "codec/percent_encoding.h"
#include "ecm/ecm_replies.h"
#include "net/web_request.h"
#include "platform/code_page.h"

namespace quill::ecm {

namespace {

// Blocks of the upload: the document never sits in memory whole.
constexpr size_t kUploadBlock = 64 * 1024;

// A launch value as the store reads it: UTF-8, every byte but letters and digits escaped.
std::string QueryValue(const std::string& ansi) {
    return PercentEncode(platform::AnsiToUtf8(ansi));
}

// Closes the descriptor on every way out of the upload.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to length bytes, retrying an interrupted read; -1 on an error.
ssize_t ReadSome(int fd, char* data, size_t length) {
    for (;;) {
        ssize_t n = ::read(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

// The whole reply body, zero bytes and all (a zero byte must not cut a token or an identifier
// short), up to limit bytes; false when the transfer failed or the reply is longer.
bool ReadWholeReply(net::Request& request, size_t limit, std::string& reply) {
    reply.clear();
    char piece[4096];
    for (;;) {
        int n = request.Read(piece, sizeof piece);
        if (n < 0) return false;
        if (n == 0) return true;
        if (reply.size() + static_cast<size_t>(n) > limit) return false;
        reply.append(piece, static_cast<size_t>(n));
    }
}

// A status other than 200 that the store sent before it stopped taking the body.
bool RefusedEarly(const net::Request& request) {
    return request.StatusCode() > 0 && request.StatusCode() != 200;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

EcmClient::EcmClient(RequestFactory factory, const net::HttpTimeouts& timeouts)
    : factory_(std::move(factory)), timeouts_(timeouts) {
    if (!factory_) factory_ = [this] { return std::make_unique<net::WebRequest>(timeouts_); };
}

int EcmClient::Fail(int code, const std::string& text) {
    errorText_ = text;
    return code;
}

EcmClient::Exchange EcmClient::PostEmpty(const std::string& target) {
    Exchange exchange;
    std::unique_ptr<net::Request> request = factory_();
    if (!request) {
        errorText_ = "no request";
        return exchange;
    }
    int result = request->OpenConnection(host_, port_);
    if (result > 0) {
        result = request->OpenRequest(target, true, false);
        if (result > 0) {
            result = request->SendRequest(nullptr, 0, nullptr, 0);
            if (result >= 0 && !ReadWholeReply(*request, kMaxEcmReplyBytes, exchange.reply))
                result = -1;
            request->CloseRequest();
        } else {
            result = -1;
        }
    }
    request->Close();
    exchange.result = result;
    if (result < 0) exchange.reply.clear();
    if (result <= 0)
        errorText_ = request->ErrorText().empty()
                         ? "status " + std::to_string(request->StatusCode())
                         : request->ErrorText();
    return exchange;
}

int EcmClient::Connect(const std::string& host, int port) {
    errorText_.clear();
    token_.clear();
    host_ = host;
    port_ = port;
    if (host.empty() || port <= 0 || port > 65535) return Fail(0, "no content store address");
    Exchange exchange = PostEmpty("/ecm/connect?userId=" + QueryValue(userId_) +
                                  "&locCd=" + QueryValue(locCd_) + "&svrId=" + QueryValue(svrId_));
    if (exchange.result < 0) return -1;
    if (exchange.result == 0) return 0;
    std::string token;
    if (!ReadSessionToken(exchange.reply, token)) return Fail(0, "no session token in the reply");
    token_ = token;
    return 1;
}

int EcmClient::ContentUP(const std::string& path, char* buffer, size_t bufferSize) {
    if (!buffer || bufferSize == 0) return Fail(kEcmBadArgument, "no identifier buffer");
    buffer[0] = '\0';
    std::string identifier;
    int result = Upload(path, identifier);
    if (result != kEcmOk) return result;
    if (identifier.size() + 1 > bufferSize)
        return Fail(kEcmBufferTooSmall, "the content identifier does not fit the buffer");
    std::memcpy(buffer, identifier.c_str(), identifier.size() + 1);
    return kEcmOk;
}

int EcmClient::ContentUP(const std::string& path, std::string& identifier) {
    identifier.clear();
    return Upload(path, identifier);
}

int EcmClient::Upload(const std::string& path, std::string& identifier) {
    errorText_.clear();
    if (path.empty()) return Fail(kEcmBadArgument, "no document path");
    if (token_.empty()) return Fail(kEcmNotConnected, "not connected");
    std::string name = FileNameOf(path);
    if (name.empty()) return Fail(kEcmBadArgument, "no file name in the path");

    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return Fail(kEcmNoFile, "cannot open the document");
    if (info.st_size <= 0) return Fail(kEcmNoFile, "the document is empty");
    const auto total = static_cast<size_t>(info.st_size);

    std::unique_ptr<net::Request> request = factory_();
    if (!request) return Fail(kEcmTransferFailed, "no request");
    // What went wrong on the way: the file (kEcmNoFile) or the transfer.
    int failure = kEcmOk;
    int status = -1;
    std::string reply;
    if (request->OpenConnection(host_, port_) > 0 &&
        request->OpenRequest(
            "/ecm/content?session=" + PercentEncode(token_) + "&name=" + PercentEncode(name), true,
            false) > 0) {
        request->AddHeader("Content-Type:", "application/octet-stream", true);
        if (request->SendRequestEx(total) > 0) {
            std::vector<char> block(kUploadBlock);
            size_t sent = 0;
            while (sent < total && failure == kEcmOk) {
                size_t want = std::min(block.size(), total - sent);
                ssize_t n = ReadSome(file.get(), block.data(), want);
                if (n <= 0) {
                    // Shorter than it was when the upload began, or unreadable.
                    failure = kEcmNoFile;
                    errorText_ = "the document could not be read whole";
                } else if (request->Write(block.data(), static_cast<size_t>(n)) !=
                           static_cast<int>(n)) {
                    failure = RefusedEarly(*request) ? kEcmRefused : kEcmTransferFailed;
                } else {
                    sent += static_cast<size_t>(n);
                }
            }
            if (failure == kEcmOk) {
                status = request->EndRequest();
                if (status >= 0 && !ReadWholeReply(*request, kMaxEcmReplyBytes, reply)) status = -1;
                if (status < 0) failure = RefusedEarly(*request) ? kEcmRefused : kEcmTransferFailed;
            }
        } else {
            failure = kEcmTransferFailed;
        }
        request->CloseRequest();
    } else {
        failure = kEcmTransferFailed;
    }
    request->Close();
    if (failure == kEcmTransferFailed)
        return Fail(kEcmTransferFailed,
                    request->ErrorText().empty() ? "the transfer failed" : request->ErrorText());
    if (failure == kEcmRefused || status == 0)
        return Fail(kEcmRefused, "the store refused the document: status " +
                                     std::to_string(request->StatusCode()));
    if (failure != kEcmOk) return failure;
    if (!ReadContentIdentifier(reply, identifier))
        return Fail(kEcmBadIdentifier, "the store's content identifier is not usable");
    return kEcmOk;
}

int EcmClient::DisConnect() {
    errorText_.clear();
    if (token_.empty()) return Fail(kEcmNotConnected, "not connected");
    Exchange exchange = PostEmpty("/ecm/disconnect?session=" + PercentEncode(token_));
    if (exchange.result < 0) return kEcmTransferFailed;
    if (exchange.result == 0) return kEcmRefused;
    token_.clear();
    return kEcmOk;
}

}  // namespace quill::ecm
