// The key/value map of an autosave request and of its reply.
#pragma once
#include "sync/sync_names.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quill::sync {

class ParamMap;
// A text, a 32-bit integer or a list of maps.
class ParamValue {
public:
    enum Type { kText = 0, kInteger = 1, kList = 3 };

    // Defined where ParamMap is complete.
    ParamValue();
    ParamValue(std::string text);
    ParamValue(const char* text);
    ParamValue(int32_t value);
    ParamValue(std::vector<ParamMap> list);
    ParamValue(const ParamValue&);
    ParamValue(ParamValue&&) noexcept;
    ParamValue& operator=(const ParamValue&);
    ParamValue& operator=(ParamValue&&) noexcept;
    ~ParamValue();

    Type type() const { return type_; }
    // Bytes of a text, 4 for an integer, the count of a list.
    size_t length() const;

    const std::string& text() const { return text_; }
    int32_t integer() const { return integer_; }
    const std::vector<ParamMap>& list() const { return list_; }
    std::vector<ParamMap>& list() { return list_; }

    // The value as the parameter form writes it: a text as is, an integer in decimal.
    std::string AsText() const;

private:
    Type type_ = kText;
    std::string text_;
    int32_t integer_ = 0;
    std::vector<ParamMap> list_;
};

// Keys in byte order, so upper-case keys sort before lower-case ones.
class ParamMap {
public:
    using Map = std::map<std::string, ParamValue>;

    // Looking up an absent key enters an empty text.
    ParamValue& operator[](const std::string& key) { return entries_[key]; }
    bool Has(const std::string& key) const { return entries_.count(key) != 0; }
    // nullptr when absent (no entry is made).
    const ParamValue* Find(const std::string& key) const;
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    Map::const_iterator begin() const { return entries_.begin(); }
    Map::const_iterator end() const { return entries_.end(); }

private:
    Map entries_;
};

}  // namespace quill::sync
