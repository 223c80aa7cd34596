// Helpers shared by the route files: parameters of a request, plain and JSON replies, and the
// guard that turns an ill-formed request or a store failure into an errorCode reply.
#pragma once

#include <httplib.h>

#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "server/json_text.h"
#include "server/request_params.h"
#include "server/sqlite_db.h"

namespace quillserver {

// The query parameters of a request (already percent-decoded by the HTTP library).
RequestParams QueryParams(const httplib::Request& req);

void ReplyText(httplib::Response& res, const std::string& text);
void ReplyJson(httplib::Response& res, const std::string& json);

// Wraps a handler: BadRequest becomes {"errorCode":..,"errorMsg":..} with status 200 (so that the
// client shows the server's message), a store failure the same with code 500.
template <class F>
httplib::Server::Handler Guarded(F&& handler) {
    return [handler = std::forward<F>(handler)](const httplib::Request& req,
                                                httplib::Response& res) {
        try {
            handler(req, res);
        } catch (const BadRequest& e) {
            ReplyJson(res, ErrorJson(e.code(), e.what()));
        } catch (const StoreError& e) {
            ReplyJson(res, ErrorJson(kStoreFailure, std::string("Storage failure: ") + e.what()));
        }
    };
}

// Streams an open file as the reply body in blocks, so a large document never sits in memory.
void ReplyFileStream(httplib::Response& res, std::shared_ptr<std::ifstream> file, size_t size,
                     const char* contentType);

// Reads a request body through the content reader with an upper bound; BadRequest when larger.
std::string ReadBody(const httplib::Request& req, const httplib::ContentReader& reader,
                     size_t maxBytes);

}  // namespace quillserver
