#include "fake_request.h"

#include <algorithm>

namespace ecmtest {

FakeRequest::FakeRequest(Script& script, ScriptedReply reply)
    : script_(script), reply_(std::move(reply)) {
    script_.sent.emplace_back();
}

int FakeRequest::OpenConnection(const std::string& host, int port) {
    host_ = host;
    port_ = port;
    return 1;
}

int FakeRequest::OpenRequest(const std::string& path, bool post, bool) {
    Current().target = path;
    Current().post = post;
    return 1;
}

int FakeRequest::SendRequest(const char*, size_t, const char* body, size_t bodyLength) {
    if (body) Current().body.assign(body, bodyLength);
    return reply_.sendResult;
}

int FakeRequest::SendRequestEx(size_t totalLength) {
    Current().streamed = true;
    Current().announced = totalLength;
    return 1;
}

int FakeRequest::EndRequest() { return reply_.sendResult; }

int FakeRequest::Write(const char* data, size_t length) {
    Current().writes.push_back(length);
    Current().body.append(data, length);
    return static_cast<int>(length);
}

int FakeRequest::Read(char* buffer, size_t length) {
    if (reply_.sendResult < 0) return -1;
    size_t n = std::min(length, reply_.body.size() - readAt_);
    std::copy_n(reply_.body.data() + readAt_, n, buffer);
    readAt_ += n;
    return static_cast<int>(n);
}

quill::ecm::EcmClient::RequestFactory ScriptedFactory(Script& script) {
    return [&script]() -> std::unique_ptr<quill::net::Request> {
        size_t next = script.sent.size();
        ScriptedReply reply =
            next < script.replies.size() ? script.replies[next] : ScriptedReply{-1, ""};
        return std::make_unique<FakeRequest>(script, reply);
    };
}

}  // namespace ecmtest
