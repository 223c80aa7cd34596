// Feeds arbitrary reply bytes through the content-store client: its readers, and a whole
// connect, upload and close against a peer that answers with those bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "ecm/ecm_client.h"
#include "ecm/ecm_replies.h"
#include "net/request.h"

using namespace quill;

namespace {

// A peer whose every reply is the fuzzer's bytes, with a status taken from the first byte.
class ReplayRequest : public net::Request {
public:
    explicit ReplayRequest(const std::string& reply) : reply_(reply) {}
    int OpenConnection(const std::string&, int) override { return 1; }
    int OpenRequest(const std::string&, bool, bool) override { return 1; }
    int SendRequest(const char*, size_t, const char*, size_t) override { return Status(); }
    int SendRequestEx(size_t) override { return 1; }
    int EndRequest() override { return Status(); }
    void CloseRequest() override {}
    void Close() override {}
    int AddHeader(const std::string&, const std::string&, bool) override { return 1; }
    int SetCookie(const std::string&, const std::string&, const std::string&) override { return 1; }
    int Write(const char*, size_t length) override { return static_cast<int>(length); }
    int Read(char* buffer, size_t length) override {
        size_t n = std::min(length, reply_.size() - at_);
        std::copy_n(reply_.data() + at_, n, buffer);
        at_ += n;
        return static_cast<int>(n);
    }

private:
    int Status() const { return reply_.empty() ? -1 : (reply_[0] & 1 ? 1 : 0); }
    std::string reply_;
    size_t at_ = 0;
};

// One small document for every run.
const std::string& Document() {
    static const std::string path = [] {
        char name[] = "/tmp/ecm_fuzz_XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) {
            (void)!write(fd, "%PDF-1.4\n", 9);
            close(fd);
        }
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    std::string out;
    ecm::ReadSessionToken(reply, out);
    ecm::ReadContentIdentifier(reply, out);
    ecm::IsSafeIdentifier(reply);

    ecm::EcmClient client([&reply] { return std::make_unique<ReplayRequest>(reply); });
    client.SetUserID("opener1");
    if (client.Connect("127.0.0.1", 2104) > 0) {
        char buffer[101];
        if (client.ContentUP(Document(), buffer, sizeof buffer) == 0 &&
            !ecm::IsSafeIdentifier(buffer))
            std::abort();
        client.DisConnect();
    }
    return 0;
}
