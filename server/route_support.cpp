#include "server/route_support.h"

namespace quillserver {

RequestParams QueryParams(const httplib::Request& req) {
    RequestParams params;
    for (const auto& [key, value] : req.params) params.Add(key, value);
    return params;
}

void ReplyText(httplib::Response& res, const std::string& text) {
    res.status = 200;
    res.set_content(text, "text/plain; charset=utf-8");
}

void ReplyJson(httplib::Response& res, const std::string& json) {
    res.status = 200;
    res.set_content(json, "application/json; charset=utf-8");
}

std::string ReadBody(const httplib::Request& req, const httplib::ContentReader& reader,
                     size_t maxBytes) {
    std::string body;
    bool tooLarge = false;
    if (req.has_header("Content-Length")) {
        auto length = req.get_header_value<uint64_t>("Content-Length");
        if (length > maxBytes) throw BadRequest(kTooLong, "Request body is too large.");
        body.reserve(static_cast<size_t>(length));
    }
    reader([&](const char* data, size_t n) {
        if (body.size() + n > maxBytes) {
            tooLarge = true;
            return false;
        }
        body.append(data, n);
        return true;
    });
    if (tooLarge) throw BadRequest(kTooLong, "Request body is too large.");
    return body;
}

}  // namespace quillserver
