#include "server/json_text.h"

#include <cstdio>

namespace quillserver {

void AppendJsonString(std::string& out, std::string_view value) {
    out.push_back('"');
    for (unsigned char c : value) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04X", static_cast<unsigned>(c));
                    out += esc;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    out.push_back('"');
}

void JsonText::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_.push_back(',');
        first_.back() = false;
    }
}

JsonText& JsonText::BeginObject() {
    BeforeValue();
    out_.push_back('{');
    first_.push_back(true);
    return *this;
}

JsonText& JsonText::EndObject() {
    out_.push_back('}');
    if (!first_.empty()) first_.pop_back();
    return *this;
}

JsonText& JsonText::BeginArray() {
    BeforeValue();
    out_.push_back('[');
    first_.push_back(true);
    return *this;
}

JsonText& JsonText::EndArray() {
    out_.push_back(']');
    if (!first_.empty()) first_.pop_back();
    return *this;
}

JsonText& JsonText::Key(std::string_view name) {
    BeforeValue();
    AppendJsonString(out_, name);
    out_.push_back(':');
    afterKey_ = true;
    return *this;
}

JsonText& JsonText::Str(std::string_view value) {
    BeforeValue();
    AppendJsonString(out_, value);
    return *this;
}

JsonText& JsonText::Int(std::int64_t value) {
    BeforeValue();
    out_ += std::to_string(value);
    return *this;
}

std::string ErrorJson(int code, std::string_view message) {
    JsonText json;
    json.BeginObject().Member("errorCode", code).Member("errorMsg", message).EndObject();
    return json.str();
}

}  // namespace quillserver
