#include "net/web_request.h"
#include "net/net_names.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <strings.h>

#include "platform/prompter.h"

namespace quill::net {

static_assert(WebRequest::kCurlErrorSize == CURL_ERROR_SIZE);

namespace {

// Reply bytes held for the caller before the transfer is paused: keeps memory flat
// however large the reply, while the caller reads at its own pace.
constexpr size_t kReceivePauseThreshold = 1024 * 1024;
// libcurl's receive buffer: larger blocks mean fewer rounds on a fast link.
constexpr long kReceiveBufferSize = 256 * 1024;
constexpr size_t kMaxErrorText = 255;
constexpr int kPollMilliseconds = 1000;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The process-wide cookie store that every request reads and writes, as the system's
// internet functions keep one for the whole process.
class CookieStore {
public:
    static CookieStore& Get() {
        static CookieStore* store = new CookieStore();  // lives as long as the process
        return *store;
    }
    CURLSH* Share() const { return share_; }

private:
    CookieStore() {
        InitCurlOnce();
        share_ = curl_share_init();
        if (!share_) return;
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::Lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::Unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CookieStore*>(self)->locks_[Index(data)].lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CookieStore*>(self)->locks_[Index(data)].unlock();
    }
    static size_t Index(curl_lock_data data) {
        size_t i = static_cast<size_t>(data);
        return i < CURL_LOCK_DATA_LAST ? i : 0;
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

// Blanks and control bytes are not allowed in a request line, and libcurl would cut the
// path at a "#"; everything else of the path goes out as the caller wrote it.
std::string EscapePath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (c <= 0x20 || c == 0x7F || c == '#') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string HostForUrl(const std::string& host) {
    if (host.find(':') != std::string::npos && host.front() != '[') return "[" + host + "]";
    return host;
}

// libcurl asks between its steps, and while it connects, whether to go on.
int KeepGoing(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const TransferCancel*>(cancel)->Cancelled() ? 1 : 0;
}

std::string CutText(std::string text) {
    if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
    return text;
}

}  // namespace

WebRequest::WebRequest(const net::HttpTimeouts& timeouts, std::shared_ptr<TransferCancel> cancel)
    : timeouts_(timeouts), cancel_(std::move(cancel)) {
    InitCurlOnce();
    userAgent_ = platform::kAppTitle;
}

WebRequest::~WebRequest() { Close(); }

int WebRequest::OpenConnection(const std::string& host, int port) {
    Close();
    host_ = host;
    port_ = port;
    if (cancel_ && cancel_->Cancelled())
        return FailWith(TransferCancel::kCancelledCode, TransferCancel::kCancelledText);
    session_ = curl_multi_init();
    connection_ = curl_easy_init();
    if (!session_ || !connection_) {
        Close();
        return FailWith(CURLE_FAILED_INIT, "ERROR: Cannot start the internet session");
    }
    CURL* h = connection_;
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent_.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeouts_.connectSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts_.stallSeconds);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WebRequest::OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &WebRequest::OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    if (CURLSH* share = CookieStore::Get().Share()) {
        curl_easy_setopt(h, CURLOPT_SHARE, share);
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");  // cookie engine on, nothing to load
    }
    if (cancel_) {
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &KeepGoing);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, cancel_.get());
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        cancel_->Watch(session_);
    }
    return 1;
}

int WebRequest::OpenRequest(const std::string& path, bool post, bool secure) {
    if (!session_ || !connection_) return 0;
    CloseRequest();
    objectPath_ = path;
    secure_ = secure;
    post_ = post;
    std::string url = std::string(secure ? "https" : "http") + "://" + HostForUrl(host_) + ":" +
                      std::to_string(port_) + EscapePath(path);
    if (curl_easy_setopt(connection_, CURLOPT_URL, url.c_str()) != CURLE_OK)
        return FailWith(CURLE_URL_MALFORMAT, "ERROR: Cannot open the request");
    curl_easy_setopt(connection_, CURLOPT_CUSTOMREQUEST, nullptr);
    if (post) {
        curl_easy_setopt(connection_, CURLOPT_POST, 1L);
    } else {
        curl_easy_setopt(connection_, CURLOPT_HTTPGET, 1L);
    }
    requestOpen_ = true;
    return 1;
}

int WebRequest::SendRequest(const char* headers, size_t headerLength, const char* body,
                            size_t bodyLength) {
    if (!requestOpen_ || attached_) return FailWith(CURLE_FAILED_INIT, "ERROR: No request open");
    // Header lines of the call, "Name: value" separated by line breaks.
    std::string text = headers ? std::string(headers, headerLength) : std::string();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        size_t colon = line.find(':');
        if (colon != std::string::npos && colon > 0) {
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            headerLines_.emplace_back(line.substr(0, colon + 1), value);
        }
        start = end + 1;
    }
    body_.assign(body ? body : "", body ? bodyLength : 0);
    bodyStart_ = 0;
    if (post_ || !body_.empty()) {
        if (!post_) curl_easy_setopt(connection_, CURLOPT_CUSTOMREQUEST, "GET");
        curl_easy_setopt(connection_, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(body_.size()));
        curl_easy_setopt(connection_, CURLOPT_POSTFIELDS, body_.data());
    }
    return StartTransfer();
}

int WebRequest::SendRequestEx(size_t totalLength) {
    if (!requestOpen_ || attached_) return FailWith(CURLE_FAILED_INIT, "ERROR: No request open");
    streamed_ = true;
    streamedTotal_ = totalLength;
    streamedWritten_ = 0;
    body_.clear();
    bodyStart_ = 0;
    curl_easy_setopt(connection_, CURLOPT_POST, 1L);
    curl_easy_setopt(connection_, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(connection_, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(totalLength));
    curl_easy_setopt(connection_, CURLOPT_READFUNCTION, &WebRequest::OnUpload);
    curl_easy_setopt(connection_, CURLOPT_READDATA, this);
    // The transfer starts with the first bytes, so that headers go out before the body.
    return 1;
}

int WebRequest::Write(const char* data, size_t length) {
    if (!streamed_ || !data) return FailWith(CURLE_FAILED_INIT, "ERROR: No streamed request");
    if (length > streamedTotal_ - streamedWritten_)
        return FailWith(CURLE_SEND_ERROR, "ERROR: More body bytes than announced");
    if (!attached_ && Attach() < 0) return -1;
    body_.assign(data, length);
    bodyStart_ = 0;
    streamedWritten_ += length;
    // Hand the block to libcurl before taking the next one: the body never piles up here.
    while (bodyStart_ < body_.size() && !finished_) {
        if (uploadPaused_) {
            uploadPaused_ = false;
            curl_easy_pause(connection_, receivePaused_ ? CURLPAUSE_RECV : CURLPAUSE_CONT);
            continue;
        }
        Step();
    }
    if (bodyStart_ < body_.size()) {
        if (result_ != CURLE_OK) return Fail(result_);
        return FailWith(CURLE_SEND_ERROR, "ERROR: The server ended the request early");
    }
    return static_cast<int>(length);
}

int WebRequest::EndRequest() {
    if (!streamed_) return FailWith(CURLE_FAILED_INIT, "ERROR: No streamed request");
    if (streamedWritten_ != streamedTotal_)
        return FailWith(CURLE_SEND_ERROR, "ERROR: Fewer body bytes than announced");
    if (!attached_) {
        // An empty body: nothing was written, so the transfer starts here.
        body_.clear();
        bodyStart_ = 0;
        return StartTransfer();
    }
    if (uploadPaused_) {
        uploadPaused_ = false;
        curl_easy_pause(connection_, receivePaused_ ? CURLPAUSE_RECV : CURLPAUSE_CONT);
    }
    while (!bodyStarted_ && !finished_) Step();
    if (finished_ && result_ != CURLE_OK) return Fail(result_);
    return QueryStatus();
}

void WebRequest::CloseRequest() {
    if (attached_ && session_ && connection_) curl_multi_remove_handle(session_, connection_);
    attached_ = false;
    requestOpen_ = false;
    finished_ = false;
    result_ = CURLE_OK;
    bodyStarted_ = false;
    receivePaused_ = false;
    uploadPaused_ = false;
    streamed_ = false;
    received_.clear();
    receivedStart_ = 0;
    body_.clear();
    bodyStart_ = 0;
    headerLines_.clear();
    if (connection_) curl_easy_setopt(connection_, CURLOPT_HTTPHEADER, nullptr);
    if (headerList_) curl_slist_free_all(headerList_);
    headerList_ = nullptr;
}

void WebRequest::Close() {
    CloseRequest();
    if (cancel_ && session_) cancel_->Unwatch(session_);
    if (connection_) curl_easy_cleanup(connection_);
    connection_ = nullptr;
    if (session_) curl_multi_cleanup(session_);
    session_ = nullptr;
}

int WebRequest::AddHeader(const std::string& name, const std::string& value, bool replace) {
    if (name.empty() || attached_) return -1;
    auto same = [&](const std::pair<std::string, std::string>& line) {
        return strcasecmp(line.first.c_str(), name.c_str()) == 0;
    };
    auto found = std::find_if(headerLines_.begin(), headerLines_.end(), same);
    if (found != headerLines_.end()) {
        if (!replace) return -1;
        found->second = value;
    } else {
        headerLines_.emplace_back(name, value);
    }
    return static_cast<int>(name.size() + 1 + value.size() + 1);  // "%s %s\n"
}

int WebRequest::SetCookie(const std::string& url, const std::string& name,
                          const std::string& data) {
    CURLSH* share = CookieStore::Get().Share();
    CURLU* parsed = curl_url();
    char* host = nullptr;
    bool ok = share && parsed && curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
              curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK && host;
    std::string hostName = ok ? host : "";
    curl_free(host);
    curl_url_cleanup(parsed);
    if (!ok || name.empty()) return FailWith(CURLE_URL_MALFORMAT, "ERROR: Cannot set cookie");
    // A session cookie for exactly this host, in the cookie file's tab-separated form.
    std::string line = hostName + "\tFALSE\t/\tFALSE\t0\t" + name + "\t" + data;
    CURL* setter = curl_easy_init();
    if (!setter) return FailWith(CURLE_FAILED_INIT, "ERROR: Cannot set cookie");
    curl_easy_setopt(setter, CURLOPT_SHARE, share);
    CURLcode rc = curl_easy_setopt(setter, CURLOPT_COOKIELIST, line.c_str());
    curl_easy_cleanup(setter);
    return rc == CURLE_OK ? 1 : Fail(rc);
}

int WebRequest::Read(char* buffer, size_t length) {
    if (!attached_ || !buffer) return FailWith(CURLE_FAILED_INIT, "ERROR: No request sent");
    length = std::min<size_t>(length, 0x7FFFFFFF);
    size_t count = 0;
    while (count < length) {
        size_t available = Available();
        if (available > 0) {
            size_t n = std::min(available, length - count);
            std::memcpy(buffer + count, received_.data() + receivedStart_, n);
            receivedStart_ += n;
            count += n;
            if (receivedStart_ == received_.size()) {
                received_.clear();
                receivedStart_ = 0;
            }
            continue;
        }
        if (receivePaused_) {
            receivePaused_ = false;
            curl_easy_pause(connection_, CURLPAUSE_CONT);
            continue;
        }
        if (finished_) break;
        // Let libcurl put the bytes straight into the caller's buffer: one copy less.
        directTarget_ = buffer + count;
        directRoom_ = length - count;
        Step();
        count += (length - count) - directRoom_;
        directTarget_ = nullptr;
        directRoom_ = 0;
    }
    if (count == 0 && finished_ && result_ != CURLE_OK) return Fail(result_);
    return static_cast<int>(count);
}

int WebRequest::QueryStatus() {
    long code = 0;
    curl_easy_getinfo(connection_, CURLINFO_RESPONSE_CODE, &code);
    statusCode_ = static_cast<int>(code);
    if (statusCode_ == 200) return 1;
    errorText_ = statusText_;
    errorCode_ = statusCode_;
    return 0;
}

int WebRequest::Attach() {
    curl_slist* list = nullptr;
    for (const auto& [name, value] : headerLines_)
        list = curl_slist_append(list, (name + " " + value).c_str());
    // The server answers at once; no waiting for a "100 Continue" first.
    list = curl_slist_append(list, "Expect:");
    headerList_ = list;
    curl_easy_setopt(connection_, CURLOPT_HTTPHEADER, headerList_);
    errorBuffer_[0] = '\0';
    if (curl_multi_add_handle(session_, connection_) != CURLM_OK)
        return FailWith(CURLE_FAILED_INIT, "ERROR: Cannot start the request");
    attached_ = true;
    return 1;
}

int WebRequest::StartTransfer() {
    if (Attach() < 0) return -1;
    // The status is known once the first body bytes come, or the transfer has ended.
    while (!bodyStarted_ && !finished_) Step();
    if (finished_ && result_ != CURLE_OK) return Fail(result_);
    return QueryStatus();
}

void WebRequest::Step() {
    size_t before = received_.size();
    size_t sentBefore = bodyStart_;
    bool startedBefore = bodyStarted_;
    size_t roomBefore = directRoom_;
    if (cancel_ && cancel_->Cancelled()) {
        // Checked here too, as libcurl asks its callback only while the transfer is running.
        finished_ = true;
        result_ = CURLE_ABORTED_BY_CALLBACK;
        std::snprintf(errorBuffer_, sizeof errorBuffer_, "%s", TransferCancel::kCancelledText);
        return;
    }
    int running = 0;
    CURLMcode mc = curl_multi_perform(session_, &running);
    if (mc != CURLM_OK) {
        finished_ = true;
        result_ = CURLE_OUT_OF_MEMORY;
        std::snprintf(errorBuffer_, sizeof errorBuffer_, "%s", curl_multi_strerror(mc));
        return;
    }
    TakeFinishedResult();
    if (finished_ || received_.size() != before || bodyStart_ != sentBefore ||
        bodyStarted_ != startedBefore || directRoom_ != roomBefore)
        return;
    // Nothing moved: sleep until the socket or one of libcurl's timers wants attention.
    curl_multi_poll(session_, nullptr, 0, kPollMilliseconds, nullptr);
}

void WebRequest::TakeFinishedResult() {
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(session_, &left)) {
        if (msg->msg == CURLMSG_DONE) {
            finished_ = true;
            result_ = msg->data.result;
        }
    }
}

int WebRequest::Fail(int code) {
    if (cancel_ && code == CURLE_ABORTED_BY_CALLBACK)
        return FailWith(code, TransferCancel::kCancelledText);
    std::string text = errorBuffer_[0] ? std::string(errorBuffer_)
                                       : curl_easy_strerror(static_cast<CURLcode>(code));
    return FailWith(static_cast<int>(code), text);
}

int WebRequest::FailWith(int code, const std::string& text) {
    errorCode_ = code;
    errorText_ = CutText(text);
    return -1;
}

size_t WebRequest::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<WebRequest*>(self);
    size_t bytes = size * count;
    request->bodyStarted_ = true;
    if (bytes > 0 && request->Available() >= kReceivePauseThreshold) {
        request->receivePaused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (request->directRoom_ > 0 && request->Available() == 0) {
        size_t n = std::min(bytes, request->directRoom_);
        std::memcpy(request->directTarget_, data, n);
        request->directTarget_ += n;
        request->directRoom_ -= n;
        data += n;
        bytes -= n;
        if (bytes == 0) return n;
    }
    if (request->receivedStart_ > 0 && request->receivedStart_ == request->received_.size()) {
        request->received_.clear();
        request->receivedStart_ = 0;
    }
    request->received_.append(data, bytes);
    return size * count;
}

size_t WebRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<WebRequest*>(self);
    size_t bytes = size * count;
    // "HTTP/1.1 404 Not Found": keep the text after the code. After a redirect the
    // final reply's status line comes last.
    if (bytes > 5 && std::memcmp(data, "HTTP/", 5) == 0) {
        std::string line(data, bytes);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        size_t code = line.find(' ');
        size_t text = code == std::string::npos ? std::string::npos : line.find(' ', code + 1);
        request->statusText_ = text == std::string::npos ? std::string() : line.substr(text + 1);
    }
    return bytes;
}

size_t WebRequest::OnUpload(char* out, size_t size, size_t count, void* self) {
    auto* request = static_cast<WebRequest*>(self);
    size_t room = size * count;
    size_t available = request->body_.size() - request->bodyStart_;
    if (available == 0) {
        if (request->streamedWritten_ >= request->streamedTotal_) return 0;
        request->uploadPaused_ = true;
        return CURL_READFUNC_PAUSE;
    }
    size_t n = std::min(room, available);
    std::memcpy(out, request->body_.data() + request->bodyStart_, n);
    request->bodyStart_ += n;
    return n;
}

}  // namespace quill::net
