#include "review/json_text.h"

#include <json/reader.h>

#include <memory>

namespace quill::review {

bool ParseJsonText(std::string_view text, Json::Value& root, std::string& errors) {
    Json::CharReaderBuilder builder;
    builder["stackLimit"] = 256;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    errors.clear();
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const Json::Exception& e) {
        // The reader throws rather than fails on nesting deeper than its stack limit; a hostile
        // or broken reply must never end the client.
        errors = std::string("* ") + e.what() + "\n";
        return false;
    }
}

}  // namespace quill::review
