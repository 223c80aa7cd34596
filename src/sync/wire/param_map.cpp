#include "sync/wire/param_map.h"
#include "sync/sync_names.h"

#include <charconv>

namespace quill::sync {

ParamValue::ParamValue() = default;
ParamValue::ParamValue(std::string text) : type_(kText), text_(std::move(text)) {}
ParamValue::ParamValue(const char* text) : type_(kText), text_(text) {}
ParamValue::ParamValue(int32_t value) : type_(kInteger), integer_(value) {}
ParamValue::ParamValue(std::vector<ParamMap> list) : type_(kList), list_(std::move(list)) {}
ParamValue::ParamValue(const ParamValue&) = default;
ParamValue::ParamValue(ParamValue&&) noexcept = default;
ParamValue& ParamValue::operator=(const ParamValue&) = default;
ParamValue& ParamValue::operator=(ParamValue&&) noexcept = default;
ParamValue::~ParamValue() = default;

size_t ParamValue::length() const {
    switch (type_) {
        case kText:
            return text_.size();
        case kInteger:
            return 4;
        case kList:
            return list_.size();
    }
    return 0;
}

std::string ParamValue::AsText() const {
    if (type_ == kInteger) {
        char digits[16];
        auto result = std::to_chars(digits, digits + sizeof digits, integer_);
        return std::string(digits, result.ptr);
    }
    return type_ == kText ? text_ : std::string();
}

const ParamValue* ParamMap::Find(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace quill::sync
