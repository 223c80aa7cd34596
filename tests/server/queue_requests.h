// Hand-built requests of the comment queue, formed the way the client forms them: the comment
// blob percent-encoded into "object", then every value percent-encoded again into the body.
#pragma once

#include <json/json.h>

#include <map>
#include <string>

#include "server/comment_blob.h"
#include "support/loopback_http.h"
#include "support/review_server_process.h"

namespace servertest {

struct Change {
    std::string docId = "10011";
    int action = 0;
    int page = 0;
    int movePage = -1;
    std::string userId = "reviewer1";
    std::string nm;
    std::string irt;
    std::string blob;  // raw comment blob bytes
};

inline Change Item(const std::string& nm, const std::string& blob, int action = 0,
                   const std::string& userId = "reviewer1") {
    Change c;
    c.nm = nm;
    c.blob = blob;
    c.action = action;
    c.userId = userId;
    return c;
}

template <class T>
Change With(Change c, T Change::*field, T value) {
    c.*field = value;
    return c;
}

inline std::string AutosaveBody(const Change& c) {
    using testsupport::UrlEncode;
    std::map<std::string, std::string> form = {{"CMD", "AUTOSAVE"},
                                               {"IRT", c.irt},
                                               {"NM", c.nm},
                                               {"actionType", std::to_string(c.action)},
                                               {"creationDate", ""},
                                               {"docId", c.docId},
                                               {"object", UrlEncode(c.blob)},
                                               {"pageNo", std::to_string(c.page)},
                                               {"qType", "A"},
                                               {"targetId", c.userId},
                                               {"userId", c.userId}};
    if (c.movePage >= 0) form["movePageNo"] = std::to_string(c.movePage);
    std::string body;
    for (const auto& [k, v] : form) body += k + "=" + UrlEncode(v) + "&";
    return body;
}

// Posts a change to autoSave.do (or movedcmnt.do for a move) and returns the reply.
inline testsupport::LoopbackReply Send(const testsupport::ReviewServerProcess& server,
                                       const Change& c) {
    return server.Post(c.action == 3 ? "/Comm/movedcmnt.do" : "/Comm/autoSave.do", AutosaveBody(c));
}

inline std::string Annot(const std::string& nm, int page, const std::string& extra = "") {
    return "<</Type/Annot/Subtype/Square/Rect[ 10 10 50 50]/NM(" + nm +
           ")/T(Kim Minsu-Piping)/Subj(rectangle)" + extra + "/Page " + std::to_string(page) + ">>";
}

inline std::string Blob(const std::string& content, const std::string& popup = "",
                        const std::string& file = "") {
    return quillserver::MakeCommentBlob(content, popup, file);
}

inline Json::Value ParseJson(const std::string& text) {
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors))
        return Json::Value(Json::nullValue);
    return root;
}

// Decodes percent escapes the way the client decodes OBJECT.
inline std::string Unescape(const std::string& text) {
    std::string out;
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 &&
            hex(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return out;
}

}  // namespace servertest
