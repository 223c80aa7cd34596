#include "viewer/engine/pdf_object.h"

#include <cmath>

namespace quill::engine {

PdfObject PdfObject::Null() { return PdfObject(); }

PdfObject PdfObject::Bool(bool b) {
    PdfObject o;
    o.kind = Kind::Bool;
    o.boolean = b;
    return o;
}

PdfObject PdfObject::Int(int64_t n) {
    PdfObject o;
    o.kind = Kind::Number;
    o.number = static_cast<double>(n);
    o.isInteger = true;
    return o;
}

PdfObject PdfObject::Real(double d) {
    PdfObject o;
    o.kind = Kind::Number;
    o.number = std::isfinite(d) ? d : 0.0;
    o.isInteger = false;
    return o;
}

PdfObject PdfObject::String(std::string bytes) {
    PdfObject o;
    o.kind = Kind::String;
    o.text = std::move(bytes);
    return o;
}

PdfObject PdfObject::Name(std::string name) {
    PdfObject o;
    o.kind = Kind::Name;
    o.text = std::move(name);
    return o;
}

PdfObject PdfObject::Array(std::vector<PdfObject> items) {
    PdfObject o;
    o.kind = Kind::Array;
    o.array = std::move(items);
    return o;
}

PdfObject PdfObject::NumberArray(const std::vector<double>& numbers) {
    PdfObject o;
    o.kind = Kind::Array;
    o.array.reserve(numbers.size());
    for (double d : numbers) o.array.push_back(Real(d));
    return o;
}

PdfObject PdfObject::Dict() {
    PdfObject o;
    o.kind = Kind::Dict;
    return o;
}

PdfObject PdfObject::Ref(int num, int gen) {
    PdfObject o;
    o.kind = Kind::Ref;
    o.refNum = num;
    o.refGen = gen;
    return o;
}

const PdfObject* PdfObject::Get(std::string_view key) const {
    if (kind != Kind::Dict) return nullptr;
    for (const PdfDictEntry& e : dict) {
        if (e.key == key) return &e.value;
    }
    return nullptr;
}

PdfObject* PdfObject::Get(std::string_view key) {
    return const_cast<PdfObject*>(static_cast<const PdfObject*>(this)->Get(key));
}

void PdfObject::Set(std::string_view key, PdfObject value) {
    if (kind != Kind::Dict) {
        *this = Dict();
    }
    if (PdfObject* existing = Get(key)) {
        *existing = std::move(value);
        return;
    }
    dict.push_back({std::string(key), std::move(value)});
}

bool PdfObject::Remove(std::string_view key) {
    for (auto it = dict.begin(); it != dict.end(); ++it) {
        if (it->key == key) {
            dict.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<double> PdfObject::Numbers() const {
    std::vector<double> out;
    if (kind != Kind::Array) return out;
    out.reserve(array.size());
    for (const PdfObject& o : array) {
        if (o.IsNumber()) out.push_back(o.number);
    }
    return out;
}

bool operator==(const PdfObject& a, const PdfObject& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case PdfObject::Kind::Null:
            return true;
        case PdfObject::Kind::Bool:
            return a.boolean == b.boolean;
        case PdfObject::Kind::Number:
            return a.number == b.number;
        case PdfObject::Kind::String:
        case PdfObject::Kind::Name:
            return a.text == b.text;
        case PdfObject::Kind::Array:
            return a.array == b.array;
        case PdfObject::Kind::Dict:
            if (a.dict.size() != b.dict.size()) return false;
            for (size_t i = 0; i < a.dict.size(); ++i) {
                if (a.dict[i].key != b.dict[i].key || !(a.dict[i].value == b.dict[i].value))
                    return false;
            }
            return true;
        case PdfObject::Kind::Ref:
            return a.refNum == b.refNum && a.refGen == b.refGen;
    }
    return false;
}

}  // namespace quill::engine
