#include "server/content_store_routes.h"

#include <fstream>
#include <memory>
#include <random>

#include "server/route_support.h"

namespace quillserver {

namespace {

constexpr auto kSessionIdle = std::chrono::hours(2);
constexpr size_t kMaxSessions = 10000;

void Fail(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content("ERROR: " + text, "text/plain");
}

std::string NewToken() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i) token.push_back(kHex[rng() % 16]);
    return token;
}

}  // namespace

void ContentSessions::Expire() {
    auto now = std::chrono::steady_clock::now();
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        if (now - it->second.lastUse > kSessionIdle)
            it = sessions_.erase(it);
        else
            ++it;
    }
}

std::string ContentSessions::Open(const Session& session) {
    std::lock_guard<std::mutex> lock(mutex_);
    Expire();
    if (sessions_.size() >= kMaxSessions) return {};
    std::string token = NewToken();
    sessions_[token] = session;
    sessions_[token].lastUse = std::chrono::steady_clock::now();
    return token;
}

bool ContentSessions::Touch(const std::string& token, Session& session) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) return false;
    it->second.lastUse = std::chrono::steady_clock::now();
    session = it->second;
    return true;
}

bool ContentSessions::Close(const std::string& token) {
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_.erase(token) > 0;
}

void AddContentStoreRoutes(httplib::Server& svr, ContentCatalog& catalog,
                           ContentSessions& sessions) {
    svr.Post("/ecm/connect", [&sessions](const httplib::Request& req, httplib::Response& res) {
        auto p = QueryParams(req);
        ContentSessions::Session s;
        s.userId = p.Get("userId");
        s.locCd = p.Get("locCd");
        s.svrId = p.Get("svrId");
        if (s.userId.empty() || s.userId.size() > 128 || s.locCd.size() > 64 || s.svrId.size() > 64)
            return Fail(res, 400, "userId is required (at most 128 bytes)");
        std::string token = sessions.Open(s);
        if (token.empty()) return Fail(res, 503, "too many sessions");
        ReplyText(res, token);
    });
    svr.Post("/ecm/disconnect", [&sessions](const httplib::Request& req, httplib::Response& res) {
        if (!sessions.Close(req.get_param_value("session")))
            return Fail(res, 403, "no such session");
        ReplyText(res, "0");
    });
    svr.Post("/ecm/content",
             [&sessions, &catalog](const httplib::Request& req, httplib::Response& res,
                                   const httplib::ContentReader& reader) {
                 ContentSessions::Session s;
                 if (!sessions.Touch(req.get_param_value("session"), s))
                     return Fail(res, 403, "no such session");
                 std::string name = req.get_param_value("name");
                 if (name.empty() || name.size() > 255 || name.find('/') != std::string::npos ||
                     name.find('\\') != std::string::npos)
                     return Fail(res, 400, "name must be a plain file name");
                 auto part = catalog.NewUploadPath();
                 std::int64_t size = 0;
                 bool ok = true;
                 {
                     std::ofstream out(part, std::ios::binary | std::ios::trunc);
                     if (!out) return Fail(res, 500, "cannot store the document");
                     reader([&](const char* data, size_t n) {
                         size += static_cast<std::int64_t>(n);
                         if (static_cast<size_t>(size) > kMaxContentBytes) {
                             ok = false;
                             return false;
                         }
                         out.write(data, static_cast<std::streamsize>(n));
                         return static_cast<bool>(out);
                     });
                     ok = ok && static_cast<bool>(out);
                 }
                 std::error_code ec;
                 if (!ok || size == 0) {
                     std::filesystem::remove(part, ec);
                     return Fail(res, ok ? 400 : 413,
                                 ok ? "empty document" : "document too large or not written");
                 }
                 try {
                     ReplyText(res, catalog.Add(part, name, size, s.userId, s.locCd, s.svrId));
                 } catch (const std::exception& e) {
                     std::filesystem::remove(part, ec);
                     Fail(res, 500, e.what());
                 }
             });
    svr.Get("/ecm/content", [&catalog](const httplib::Request& req, httplib::Response& res) {
        std::string id = req.get_param_value("id");
        if (!ContentCatalog::IsWellFormedId(id)) return Fail(res, 404, "no such content");
        auto found = catalog.Find(id);
        if (!found) return Fail(res, 404, "no such content");
        auto file = std::make_shared<std::ifstream>(catalog.PathOf(id), std::ios::binary);
        if (!*file) return Fail(res, 404, "no such content");
        ReplyFileStream(res, file, static_cast<size_t>(found->size), "application/octet-stream");
    });
}

}  // namespace quillserver
