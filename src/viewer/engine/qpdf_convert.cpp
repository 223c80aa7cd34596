#include "viewer/engine/qpdf_convert.h"

namespace quill::engine {
namespace {

constexpr int kMaxDepth = 32;

PdfObject Convert(QPDFObjectHandle h, int depth, std::set<QPDFObjGen>& path) {
    if (depth > kMaxDepth) return PdfObject::Null();
    if (h.isIndirect()) {
        const QPDFObjGen og = h.getObjGen();
        if (path.count(og)) return PdfObject::Null();
        path.insert(og);
        PdfObject out;
        if (!h.isStream()) {
            QPDFObjectHandle direct = h;
            out = Convert(direct.shallowCopy(), depth + 1, path);
            // shallowCopy of an array or dictionary keeps its items indirect as they were.
        }
        path.erase(og);
        return out;
    }
    if (h.isNull() || h.isStream()) return PdfObject::Null();
    if (h.isBool()) return PdfObject::Bool(h.getBoolValue());
    if (h.isInteger()) return PdfObject::Int(h.getIntValue());
    if (h.isReal()) return PdfObject::Real(h.getNumericValue());
    if (h.isName()) {
        std::string n = h.getName();
        return PdfObject::Name(n.empty() ? n : n.substr(1));
    }
    if (h.isString()) return PdfObject::String(h.getStringValue());
    if (h.isArray()) {
        PdfObject a = PdfObject::Array();
        const int n = h.getArrayNItems();
        for (int i = 0; i < n; ++i) {
            PdfObject item = Convert(h.getArrayItem(i), depth + 1, path);
            a.array.push_back(std::move(item));
        }
        return a;
    }
    if (h.isDictionary()) {
        PdfObject d = PdfObject::Dict();
        for (const std::string& key : h.getKeys()) {
            PdfObject v = Convert(h.getKey(key), depth + 1, path);
            if (!v.IsNull()) d.Set(key.substr(1), std::move(v));
        }
        return d;
    }
    return PdfObject::Null();
}

}  // namespace

PdfObject FromQpdf(QPDFObjectHandle h, int depth) {
    std::set<QPDFObjGen> path;
    return Convert(h, depth, path);
}

QPDFObjectHandle ToQpdf(QPDF& pdf, const PdfObject& o, const RefMapper& mapRef) {
    return QPDFObjectHandle::parse(&pdf, WritePdfObject(o, mapRef));
}

std::string SubtypeOf(QPDFObjectHandle h) {
    if (!h.isDictionary()) return {};
    QPDFObjectHandle s = h.getKey("/Subtype");
    return s.isName() ? s.getName().substr(1) : std::string();
}

}  // namespace quill::engine
