#include "server/request_params.h"

#include <cctype>
#include <climits>

namespace quillserver {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool RequestParams::CaseLess::operator()(std::string_view a, std::string_view b) const {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void RequestParams::Add(std::string key, std::string value) {
    values_.emplace(std::move(key), std::move(value));
}

bool RequestParams::Has(std::string_view key) const { return values_.find(key) != values_.end(); }

std::string RequestParams::Get(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

std::string RequestParams::Need(std::string_view key, size_t maxLength) const {
    auto it = values_.find(key);
    if (it == values_.end() || it->second.empty())
        throw BadRequest(kMissingParameter, "Missing parameter " + std::string(key) + ".");
    if (it->second.size() > maxLength)
        throw BadRequest(kTooLong, "Parameter " + std::string(key) + " is too long.");
    return it->second;
}

std::string RequestParams::Optional(std::string_view key, size_t maxLength) const {
    auto it = values_.find(key);
    if (it == values_.end()) return {};
    if (it->second.size() > maxLength)
        throw BadRequest(kTooLong, "Parameter " + std::string(key) + " is too long.");
    return it->second;
}

int RequestParams::NeedInt(std::string_view key) const {
    std::string text = Need(key, 16);
    int value = 0;
    if (!ParseInt32(text, value))
        throw BadRequest(kBadNumber, "Parameter " + std::string(key) + " is not a number.");
    return value;
}

int RequestParams::OptionalInt(std::string_view key, int fallback) const {
    if (!Has(key)) return fallback;
    return NeedInt(key);
}

bool ParseInt32(std::string_view text, int& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && text.size() - i >= 3) {
            int hi = HexValue(text[i + 1]);
            int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(c == '+' ? ' ' : c);
    }
    return out;
}

RequestParams ParseForm(std::string_view body) {
    RequestParams params;
    size_t pos = 0;
    while (pos <= body.size()) {
        size_t end = body.find('&', pos);
        if (end == std::string_view::npos) end = body.size();
        std::string_view piece = body.substr(pos, end - pos);
        if (!piece.empty()) {
            size_t eq = piece.find('=');
            std::string key = PercentDecode(piece.substr(0, eq));
            std::string value =
                eq == std::string_view::npos ? std::string() : PercentDecode(piece.substr(eq + 1));
            if (!key.empty()) params.Add(std::move(key), std::move(value));
        }
        pos = end + 1;
    }
    return params;
}

}  // namespace quillserver
