// A scripted peer for the content-store client: records what the client sends and answers
// with the status and body each exchange is given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ecm/ecm_client.h"
#include "net/request.h"

namespace ecmtest {

struct ScriptedReply {
    int sendResult = 1;  // 1: 200, 0: another status, -1: the transfer failed
    std::string body;
};

// What one exchange carried.
struct SentRequest {
    std::string target;
    bool post = false;
    size_t announced = 0;        // the length given to a streamed send
    std::vector<size_t> writes;  // the sizes of the body blocks, in order
    std::string body;            // every byte written
    bool streamed = false;
};

struct Script {
    std::vector<ScriptedReply> replies;  // one per exchange; used up in order
    std::vector<SentRequest> sent;
};

class FakeRequest : public quill::net::Request {
public:
    FakeRequest(Script& script, ScriptedReply reply);
    int OpenConnection(const std::string& host, int port) override;
    int OpenRequest(const std::string& path, bool post, bool secure) override;
    int SendRequest(const char* headers, size_t headerLength, const char* body,
                    size_t bodyLength) override;
    int SendRequestEx(size_t totalLength) override;
    int EndRequest() override;
    void CloseRequest() override {}
    void Close() override {}
    int AddHeader(const std::string&, const std::string&, bool) override { return 1; }
    int SetCookie(const std::string&, const std::string&, const std::string&) override { return 1; }
    int Write(const char* data, size_t length) override;
    int Read(char* buffer, size_t length) override;

private:
    SentRequest& Current() { return script_.sent.back(); }
    Script& script_;
    ScriptedReply reply_;
    size_t readAt_ = 0;
};

// A factory for EcmClient that answers from the script (a failed transfer when used up).
quill::ecm::EcmClient::RequestFactory ScriptedFactory(Script& script);

}  // namespace ecmtest
