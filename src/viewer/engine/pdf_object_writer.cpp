#include "viewer/engine/pdf_object_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quill::engine {
namespace {

bool IsRegularNameChar(unsigned char c) {
    if (c < 0x21 || c > 0x7E) return false;
    switch (c) {
        case '(':
        case ')':
        case '<':
        case '>':
        case '[':
        case ']':
        case '{':
        case '}':
        case '/':
        case '%':
        case '#':
            return false;
        default:
            return true;
    }
}

void AppendName(std::string& out, const std::string& name) {
    out += '/';
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : name) {
        if (IsRegularNameChar(c)) {
            out += static_cast<char>(c);
        } else {
            out += '#';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

// True when the value's text opens with a delimiter and so needs no blank before it.
bool OpensWithDelimiter(const PdfObject& o) {
    switch (o.kind) {
        case PdfObject::Kind::Name:
        case PdfObject::Kind::String:
        case PdfObject::Kind::Array:
        case PdfObject::Kind::Dict:
            return true;
        default:
            return false;
    }
}

void AppendValue(std::string& out, const PdfObject& o, const RefMapper& mapRef, int depth);

void AppendDict(std::string& out, const PdfObject& o, const RefMapper& mapRef, int depth) {
    out += "<<";
    for (size_t i = 0; i < o.dict.size(); ++i) {
        const PdfDictEntry& e = o.dict[i];
        AppendName(out, e.key);
        if (!OpensWithDelimiter(e.value)) out += ' ';
        AppendValue(out, e.value, mapRef, depth + 1);
        if (e.value.IsRef() && i + 1 < o.dict.size()) out += ' ';
    }
    out += ">>";
}

void AppendValue(std::string& out, const PdfObject& o, const RefMapper& mapRef, int depth) {
    if (depth > 64) {  // cycles cannot occur in a value type; depth only guards hostile input
        out += "null";
        return;
    }
    switch (o.kind) {
        case PdfObject::Kind::Null:
            out += "null";
            break;
        case PdfObject::Kind::Bool:
            out += o.boolean ? "true" : "false";
            break;
        case PdfObject::Kind::Number:
            out += FormatPdfNumber(o.number, o.isInteger);
            break;
        case PdfObject::Kind::String:
            out += EscapePdfString(o.text);
            break;
        case PdfObject::Kind::Name:
            AppendName(out, o.text);
            break;
        case PdfObject::Kind::Array:
            out += '[';
            for (const PdfObject& item : o.array) {
                if (!OpensWithDelimiter(item)) out += ' ';
                AppendValue(out, item, mapRef, depth + 1);
            }
            out += ']';
            break;
        case PdfObject::Kind::Dict:
            AppendDict(out, o, mapRef, depth);
            break;
        case PdfObject::Kind::Ref: {
            const int num = mapRef ? mapRef(o.refNum) : o.refNum;
            out += std::to_string(num);
            out += ' ';
            out += std::to_string(o.refGen);
            out += " R";
            break;
        }
    }
}

}  // namespace

std::string FormatPdfNumber(double value, bool isInteger) {
    char buf[64];
    if (!std::isfinite(value)) value = 0;
    if (isInteger && std::fabs(value) < 9e15) {
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        return std::string(buf, r.ptr);
    }
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 4);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0" || s.empty()) s = "0";
    return s;
}

std::string EscapePdfString(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '(';
    for (unsigned char c : bytes) {
        switch (c) {
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F || c == '(' || c == ')' || c == '\\' || c == '<' || c == '>' ||
            c == '/' || c == 'P') {
            char oct[5];
            std::snprintf(oct, sizeof oct, "\\%03o", c);
            out += oct;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += ')';
    return out;
}

void AppendPdfObject(std::string& out, const PdfObject& object, const RefMapper& mapRef) {
    AppendValue(out, object, mapRef, 0);
}

std::string WritePdfObject(const PdfObject& object, const RefMapper& mapRef) {
    std::string out;
    AppendPdfObject(out, object, mapRef);
    return out;
}

}  // namespace quill::engine
