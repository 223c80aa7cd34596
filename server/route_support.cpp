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

void ReplyFileStream(httplib::Response& res, std::shared_ptr<std::ifstream> file, size_t size,
                     const char* contentType) {
    res.status = 200;
    res.set_content_provider(size, contentType,
                             [file](size_t offset, size_t length, httplib::DataSink& sink) {
                                 char buffer[65536];
                                 file->seekg(static_cast<std::streamoff>(offset));
                                 size_t n = length < sizeof buffer ? length : sizeof buffer;
                                 file->read(buffer, static_cast<std::streamsize>(n));
                                 std::streamsize got = file->gcount();
                                 if (got <= 0) return false;
                                 sink.write(buffer, static_cast<size_t>(got));
                                 return true;
                             });
}

}  // namespace quillserver
