// A small JSON writer that keeps members in the order written: clients recognise a reply by its
// opening text ({"revno":, {"r":, ...), so the first member must stay first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillserver {

class JsonText {
public:
    JsonText& BeginObject();
    JsonText& EndObject();
    JsonText& BeginArray();
    JsonText& EndArray();
    JsonText& Key(std::string_view name);
    JsonText& Str(std::string_view value);
    JsonText& Int(std::int64_t value);

    // Shortcuts for a member of an object.
    JsonText& Member(std::string_view name, std::string_view value) { return Key(name).Str(value); }
    JsonText& Member(std::string_view name, const char* value) { return Key(name).Str(value); }
    JsonText& Member(std::string_view name, std::int64_t value) { return Key(name).Int(value); }
    JsonText& Member(std::string_view name, int value) { return Key(name).Int(value); }

    const std::string& str() const { return out_; }

private:
    void BeforeValue();

    std::string out_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool afterKey_ = false;
};

// Quotes bytes as a JSON string. Text is passed through byte for byte (UTF-8 stays UTF-8);
// quotes, backslashes and control bytes are escaped.
void AppendJsonString(std::string& out, std::string_view value);

// {"errorCode":code,"errorMsg":"message"}, the error form of every /Comm/ reply.
std::string ErrorJson(int code, std::string_view message);

}  // namespace quillserver
