#include "viewer/engine/pdf_object_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quill::engine {
namespace {

constexpr int kMaxDepth = 64;
constexpr double kMaxNumber = 1e9;

bool IsWhite(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool IsDelimiter(char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseInt(std::string_view s, long long& out) {
    if (s.empty()) return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') ++b;
    auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e;
}

}  // namespace

bool PdfObjectParser::Fail(const std::string& why) {
    if (error_.empty()) error_ = why + " at offset " + std::to_string(pos_);
    return false;
}

bool PdfObjectParser::AtEnd() {
    SkipWhitespaceAndComments();
    return pos_ >= data_.size();
}

void PdfObjectParser::SkipWhitespaceAndComments() {
    while (pos_ < data_.size()) {
        const char c = data_[pos_];
        if (IsWhite(c)) {
            ++pos_;
        } else if (c == '%') {
            while (pos_ < data_.size() && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
        } else {
            break;
        }
    }
}

std::string_view PdfObjectParser::PeekWord() {
    SkipWhitespaceAndComments();
    size_t end = pos_;
    while (end < data_.size() && !IsWhite(data_[end]) && !IsDelimiter(data_[end])) ++end;
    return data_.substr(pos_, end - pos_);
}

bool PdfObjectParser::ConsumeWord(std::string_view word) {
    if (PeekWord() != word) return false;
    pos_ += word.size();
    return true;
}

std::optional<PdfObject> PdfObjectParser::ParseObject() { return ParseValue(0); }

std::optional<PdfObject> PdfObjectParser::ParseValue(int depth) {
    if (depth > kMaxDepth) {
        Fail("objects nested too deeply");
        return std::nullopt;
    }
    SkipWhitespaceAndComments();
    if (pos_ >= data_.size()) {
        Fail("unexpected end of data");
        return std::nullopt;
    }
    const char c = data_[pos_];
    if (c == '/') return ParseName();
    if (c == '(') return ParseLiteralString();
    if (c == '<') {
        if (pos_ + 1 < data_.size() && data_[pos_ + 1] == '<') {
            pos_ += 2;
            PdfObject dict = PdfObject::Dict();
            while (true) {
                SkipWhitespaceAndComments();
                if (pos_ >= data_.size()) {
                    Fail("dictionary not closed");
                    return std::nullopt;
                }
                if (data_[pos_] == '>') {
                    if (pos_ + 1 < data_.size() && data_[pos_ + 1] == '>') {
                        pos_ += 2;
                        return dict;
                    }
                    Fail("stray '>' in dictionary");
                    return std::nullopt;
                }
                if (data_[pos_] != '/') {
                    Fail("dictionary key is no name");
                    return std::nullopt;
                }
                auto key = ParseName();
                if (!key) return std::nullopt;
                auto value = ParseValue(depth + 1);
                if (!value) return std::nullopt;
                // A later duplicate key replaces the earlier one, as PDF readers do.
                dict.Set(key->text, std::move(*value));
            }
        }
        return ParseHexString();
    }
    if (c == '[') {
        ++pos_;
        PdfObject array = PdfObject::Array();
        while (true) {
            SkipWhitespaceAndComments();
            if (pos_ >= data_.size()) {
                Fail("array not closed");
                return std::nullopt;
            }
            if (data_[pos_] == ']') {
                ++pos_;
                return array;
            }
            auto item = ParseValue(depth + 1);
            if (!item) return std::nullopt;
            array.array.push_back(std::move(*item));
        }
    }
    if (c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9')) return ParseNumberOrRef();
    const std::string_view word = PeekWord();
    if (word == "true" || word == "false") {
        pos_ += word.size();
        return PdfObject::Bool(word == "true");
    }
    if (word == "null") {
        pos_ += word.size();
        return PdfObject::Null();
    }
    Fail("unexpected token '" + std::string(word.substr(0, 20)) + "'");
    return std::nullopt;
}

std::optional<PdfObject> PdfObjectParser::ParseName() {
    ++pos_;  // '/'
    std::string name;
    while (pos_ < data_.size() && !IsWhite(data_[pos_]) && !IsDelimiter(data_[pos_])) {
        char c = data_[pos_];
        if (c == '#' && pos_ + 2 < data_.size() && HexValue(data_[pos_ + 1]) >= 0 &&
            HexValue(data_[pos_ + 2]) >= 0) {
            name += static_cast<char>(HexValue(data_[pos_ + 1]) * 16 + HexValue(data_[pos_ + 2]));
            pos_ += 3;
            continue;
        }
        name += c;
        ++pos_;
    }
    return PdfObject::Name(std::move(name));
}

std::optional<PdfObject> PdfObjectParser::ParseLiteralString() {
    ++pos_;  // '('
    std::string bytes;
    int nesting = 1;
    while (pos_ < data_.size()) {
        char c = data_[pos_++];
        if (c == '\\') {
            if (pos_ >= data_.size()) break;
            char e = data_[pos_++];
            switch (e) {
                case 'n':
                    bytes += '\n';
                    break;
                case 'r':
                    bytes += '\r';
                    break;
                case 't':
                    bytes += '\t';
                    break;
                case 'b':
                    bytes += '\b';
                    break;
                case 'f':
                    bytes += '\f';
                    break;
                case '\r':
                    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
                    break;
                case '\n':
                    break;
                default:
                    if (e >= '0' && e <= '7') {
                        int v = e - '0';
                        for (int i = 0; i < 2 && pos_ < data_.size() && data_[pos_] >= '0' &&
                                        data_[pos_] <= '7';
                             ++i) {
                            v = v * 8 + (data_[pos_++] - '0');
                        }
                        bytes += static_cast<char>(v & 0xFF);
                    } else {
                        bytes += e;
                    }
            }
            continue;
        }
        if (c == '(') {
            ++nesting;
        } else if (c == ')') {
            if (--nesting == 0) return PdfObject::String(std::move(bytes));
        }
        bytes += c;
    }
    Fail("string not closed");
    return std::nullopt;
}

std::optional<PdfObject> PdfObjectParser::ParseHexString() {
    ++pos_;  // '<'
    std::string bytes;
    int high = -1;
    while (pos_ < data_.size()) {
        char c = data_[pos_++];
        if (c == '>') {
            if (high >= 0) bytes += static_cast<char>(high * 16);
            return PdfObject::String(std::move(bytes));
        }
        if (IsWhite(c)) continue;
        int v = HexValue(c);
        if (v < 0) {
            Fail("bad hex string");
            return std::nullopt;
        }
        if (high < 0) {
            high = v;
        } else {
            bytes += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    Fail("hex string not closed");
    return std::nullopt;
}

std::optional<PdfObject> PdfObjectParser::ParseNumberOrRef() {
    const std::string_view first = PeekWord();
    long long n1 = 0;
    if (ParseInt(first, n1)) {
        const size_t after = pos_ + first.size();
        // "n g R"?
        pos_ = after;
        const size_t save = pos_;
        const std::string_view second = PeekWord();
        long long n2 = 0;
        if (ParseInt(second, n2) && n2 >= 0 && n1 >= 0) {
            pos_ += second.size();
            if (PeekWord() == "R") {
                pos_ += 1;
                if (n1 > 0x7FFFFFFF || n2 > 0xFFFF) {
                    Fail("reference out of range");
                    return std::nullopt;
                }
                return PdfObject::Ref(static_cast<int>(n1), static_cast<int>(n2));
            }
        }
        pos_ = save;
        if (n1 > kMaxNumber || n1 < -kMaxNumber)
            return PdfObject::Real(n1 > 0 ? kMaxNumber : -kMaxNumber);
        return PdfObject::Int(n1);
    }
    // A real number (or an integer too large for one): from_chars is locale-independent.
    std::string text(first);
    pos_ += first.size();
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ptr == text.data()) {
        Fail("bad number '" + text.substr(0, 20) + "'");
        return std::nullopt;
    }
    if (r.ec == std::errc::result_out_of_range || !std::isfinite(value)) {
        value = (!text.empty() && text[0] == '-') ? -kMaxNumber : kMaxNumber;
    }
    // Coordinates beyond any page are cut back, so that every number written reads back
    // as the same number.
    return PdfObject::Real(std::clamp(value, -kMaxNumber, kMaxNumber));
}

std::optional<ParsedObjectFile> ParseObjectFile(std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<ParsedObjectFile> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (bytes.empty() || bytes[0] != '%') return fail("no FDF header");
    ParsedObjectFile file;
    size_t eol = 0;
    while (eol < bytes.size() && bytes[eol] != '\n' && bytes[eol] != '\r') ++eol;
    file.header = std::string(bytes.substr(0, eol));
    if (file.header.rfind("%FDF-", 0) != 0 && file.header.rfind("%PDF-", 0) != 0) {
        return fail("no FDF header");
    }

    PdfObjectParser p(bytes, eol);
    while (!p.AtEnd()) {
        const std::string_view word = p.PeekWord();
        if (word == "trailer") {
            p.ConsumeWord("trailer");
            auto t = p.ParseObject();
            if (!t || !t->IsDict()) return fail("bad trailer: " + p.error());
            file.trailer = std::move(*t);
            continue;
        }
        if (word == "xref") {
            // Tables are not needed: objects are read in sequence.
            p.ConsumeWord("xref");
            while (!p.AtEnd() && p.PeekWord() != "trailer") {
                const std::string_view w = p.PeekWord();
                if (w.empty()) return fail("bad cross-reference table");
                p.set_pos(p.pos() + w.size());
            }
            continue;
        }
        if (word == "startxref") {
            p.ConsumeWord("startxref");
            p.SkipWhitespaceAndComments();
            const std::string_view w = p.PeekWord();
            p.set_pos(p.pos() + w.size());
            continue;
        }
        long long num = 0, gen = 0;
        auto toInt = [](std::string_view s, long long& v) {
            auto r = std::from_chars(s.data(), s.data() + s.size(), v);
            return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
        };
        if (!toInt(word, num) || num < 0 || num > 0x7FFFFFFF) {
            return fail("unexpected text '" + std::string(word.substr(0, 20)) + "' at offset " +
                        std::to_string(p.pos()));
        }
        p.set_pos(p.pos() + word.size());
        const std::string_view genWord = p.PeekWord();
        if (!toInt(genWord, gen)) return fail("bad object header");
        p.set_pos(p.pos() + genWord.size());
        if (!p.ConsumeWord("obj")) return fail("missing 'obj' for object " + std::to_string(num));
        auto value = p.ParseObject();
        if (!value) return fail("object " + std::to_string(num) + ": " + p.error());
        IndirectObject obj;
        obj.value = std::move(*value);
        if (p.PeekWord() == "stream") {
            p.ConsumeWord("stream");
            size_t start = p.pos();
            if (start < bytes.size() && bytes[start] == '\r') ++start;
            if (start < bytes.size() && bytes[start] == '\n') ++start;
            size_t end = std::string_view::npos;
            const PdfObject* len = obj.value.Get("Length");
            if (len && len->IsNumber() && len->number >= 0 &&
                len->number <= static_cast<double>(bytes.size() - start)) {
                const size_t candidate = start + static_cast<size_t>(len->number);
                size_t k = candidate;
                while (k < bytes.size() && IsWhite(bytes[k])) ++k;
                if (bytes.substr(k, 9) == "endstream") end = candidate;
            }
            size_t resume = 0;
            if (end == std::string_view::npos) {
                const size_t found = bytes.find("endstream", start);
                if (found == std::string_view::npos) {
                    return fail("stream of object " + std::to_string(num) + " not closed");
                }
                end = found;
                if (end > start && bytes[end - 1] == '\n') --end;
                if (end > start && bytes[end - 1] == '\r') --end;
                resume = found + 9;
            } else {
                resume = bytes.find("endstream", end) + 9;
            }
            obj.isStream = true;
            obj.streamBytes = std::string(bytes.substr(start, end - start));
            p.set_pos(resume);
        }
        p.ConsumeWord("endobj");  // tolerated when missing
        file.objects[static_cast<int>(num)] = std::move(obj);
    }
    return file;
}

}  // namespace quill::engine
