// The content store's own protocol on its own port: connect, store a document and answer its
// content identifier, disconnect; and fetch a stored document back.
#pragma once

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "server/content_catalog.h"

namespace quillserver {

// The largest document the content store takes.
constexpr size_t kMaxContentBytes = 512u * 1024u * 1024u;

class ContentSessions {
public:
    struct Session {
        std::string userId;
        std::string locCd;
        std::string svrId;
        std::chrono::steady_clock::time_point lastUse;
    };

    std::string Open(const Session& session);
    bool Touch(const std::string& token, Session& session);
    bool Close(const std::string& token);

private:
    void Expire();
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
};

void AddContentStoreRoutes(httplib::Server& svr, ContentCatalog& catalog,
                           ContentSessions& sessions);

}  // namespace quillserver
