#include "viewer/engine/qpdf_copier.h"

#include <string>

namespace quill::engine {

PdfObject QpdfCopier::Copy(QPDFObjectHandle value) { return Start(value, false); }

PdfObject QpdfCopier::CopyObject(QPDFObjectHandle object) { return Start(object, true); }

PdfObject QpdfCopier::Start(QPDFObjectHandle h, bool followIdentity) {
    path_.clear();
    valueShareUsed_ = 0;
    overShare_ = false;
    PdfObject out;
    if (!h.isIndirect()) {
        out = Convert(h, 0, false);
    } else if (followIdentity) {
        path_.insert(h.getObjGen());
        out = Convert(h, 0, true);
    } else {
        out = Follow(h, 0);
    }
    if (overShare_) return PdfObject::Null();
    return out;
}

bool QpdfCopier::HasIdentity(QPDFObjectHandle h) const {
    if (keptOut_.count(h.getObjGen())) return true;
    if (!h.isDictionary()) return false;
    // Pages and the page tree must say what they are; annotations usually do, and those on a
    // page's list are kept out by the caller even when they do not.
    QPDFObjectHandle type = h.getKey("/Type");
    if (!type.isName()) return false;
    const std::string t = type.getName();
    return t == "/Page" || t == "/Pages" || t == "/Catalog" || t == "/Annot";
}

PdfObject QpdfCopier::Follow(QPDFObjectHandle h, int depth) {
    if (HasIdentity(h)) return PdfObject::Null();
    const QPDFObjGen og = h.getObjGen();
    if (!path_.insert(og).second) return PdfObject::Null();
    PdfObject out = Convert(h, depth, true);
    path_.erase(og);
    return out;
}

PdfObject QpdfCopier::Convert(QPDFObjectHandle h, int depth, bool behindReference) {
    if (overShare_ || depth > kMaxDepth) return PdfObject::Null();
    if (h.isNull() || h.isStream()) return PdfObject::Null();
    ++copied_;
    if (behindReference) {
        ++valueShareUsed_;
        ++documentShareUsed_;
        if (valueShareUsed_ > valueShare_ || documentShareUsed_ > documentShare_) {
            overShare_ = true;
            return PdfObject::Null();
        }
    }
    if (h.isBool()) return PdfObject::Bool(h.getBoolValue());
    if (h.isInteger()) return PdfObject::Int(h.getIntValue());
    if (h.isReal()) return PdfObject::Real(h.getNumericValue());
    if (h.isName()) {
        std::string n = h.getName();
        return PdfObject::Name(n.empty() ? n : n.substr(1));
    }
    if (h.isString()) return PdfObject::String(h.getStringValue());
    auto item = [&](QPDFObjectHandle v) {
        return v.isIndirect() ? Follow(v, depth + 1) : Convert(v, depth + 1, behindReference);
    };
    if (h.isArray()) {
        PdfObject a = PdfObject::Array();
        const int n = h.getArrayNItems();
        for (int i = 0; i < n; ++i) a.array.push_back(item(h.getArrayItem(i)));
        return a;
    }
    if (h.isDictionary()) {
        PdfObject d = PdfObject::Dict();
        // The keys come sorted and once each: appended, not looked up.
        for (const std::string& key : h.getKeys()) {
            PdfObject v = item(h.getKey(key));
            if (!v.IsNull()) d.dict.push_back({key.substr(1), std::move(v)});
        }
        return d;
    }
    return PdfObject::Null();
}

}  // namespace quill::engine
