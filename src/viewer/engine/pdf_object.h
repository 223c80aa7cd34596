// PdfObject: the engine's own PDF object model (annotation dictionaries, FDF objects).
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::engine {

struct PdfDictEntry;

// A value type. Dictionaries keep their keys in insertion order, so that an annotation is
// written back with its keys where they were.
struct PdfObject {
    enum class Kind { Null, Bool, Number, String, Name, Array, Dict, Ref };

    // Defined below, where PdfDictEntry is complete.
    PdfObject();
    ~PdfObject();
    PdfObject(const PdfObject&);
    PdfObject(PdfObject&&) noexcept;
    PdfObject& operator=(const PdfObject&);
    PdfObject& operator=(PdfObject&&) noexcept;

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    bool isInteger = false;
    std::string text;  // String: its bytes; Name: without the slash, #xx decoded
    std::vector<PdfObject> array;
    std::vector<PdfDictEntry> dict;
    int refNum = 0;  // Ref: object number (negative numbers are the engine's placeholders)
    int refGen = 0;

    static PdfObject Null();
    static PdfObject Bool(bool b);
    static PdfObject Int(int64_t n);
    static PdfObject Real(double d);
    static PdfObject String(std::string bytes);
    static PdfObject Name(std::string name);
    static PdfObject Array(std::vector<PdfObject> items = {});
    static PdfObject NumberArray(const std::vector<double>& numbers);
    static PdfObject Dict();
    static PdfObject Ref(int num, int gen = 0);

    bool IsNull() const { return kind == Kind::Null; }
    bool IsNumber() const { return kind == Kind::Number; }
    bool IsString() const { return kind == Kind::String; }
    bool IsName() const { return kind == Kind::Name; }
    bool IsName(std::string_view n) const { return kind == Kind::Name && text == n; }
    bool IsArray() const { return kind == Kind::Array; }
    bool IsDict() const { return kind == Kind::Dict; }
    bool IsRef() const { return kind == Kind::Ref; }

    // Dictionary access. Get returns nullptr when the key is absent or this is no dict.
    const PdfObject* Get(std::string_view key) const;
    PdfObject* Get(std::string_view key);
    bool Has(std::string_view key) const { return Get(key) != nullptr; }
    // Replaces the value where the key stands, or appends the key.
    void Set(std::string_view key, PdfObject value);
    bool Remove(std::string_view key);

    // Convenience readers with a default.
    double NumberOr(double fallback) const { return IsNumber() ? number : fallback; }
    std::vector<double> Numbers() const;  // the numbers of an array (others skipped)
};

struct PdfDictEntry {
    std::string key;
    PdfObject value;
};

inline PdfObject::PdfObject() = default;
inline PdfObject::~PdfObject() = default;
inline PdfObject::PdfObject(const PdfObject&) = default;
inline PdfObject::PdfObject(PdfObject&&) noexcept = default;
inline PdfObject& PdfObject::operator=(const PdfObject&) = default;
inline PdfObject& PdfObject::operator=(PdfObject&&) noexcept = default;

bool operator==(const PdfObject& a, const PdfObject& b);

}  // namespace quill::engine
