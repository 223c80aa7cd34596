#include "launcher/launch_link.h"

#include <cstdint>
#include <set>

namespace quill::launcher {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithScheme(const std::string& link) {
    const std::string scheme = kLinkScheme;
    if (link.size() <= scheme.size() || link[scheme.size()] != ':') return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        char c = link[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i]) return false;
    }
    return true;
}

// "-123", "42": an optional minus sign and 1 to 10 digits within 32 bits; nothing else.
bool ReadDecimal(const std::string& text, int32_t& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 10) return false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

LaunchLinkResult Refuse(std::string why) {
    LaunchLinkResult result;
    result.error = std::move(why);
    return result;
}

}  // namespace

bool PercentDecodeComponent(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;  // fewer than two characters follow
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

LaunchLinkResult ReadLaunchLink(const std::string& link, const LinkTextConverter& convert) {
    if (link.size() > kMaxLinkBytes) return Refuse("the link is too long");
    if (!StartsWithScheme(link)) return Refuse("not a quillmark: link");
    std::string rest = link.substr(std::string(kLinkScheme).size() + 1);
    if (const auto hash = rest.find('#'); hash != std::string::npos) rest.resize(hash);
    if (const auto question = rest.find('?'); question != std::string::npos)
        rest = rest.substr(question + 1);
    else if (rest.compare(0, 2, "//") == 0)
        rest.clear();  // an address without values

    LaunchLinkResult result;
    std::set<std::string> seen;
    std::size_t pos = 0;
    while (pos <= rest.size()) {
        std::size_t end = rest.find('&', pos);
        if (end == std::string::npos) end = rest.size();
        const std::string piece = rest.substr(pos, end - pos);
        pos = end + 1;
        if (piece.empty()) continue;
        const std::size_t eq = piece.find('=');
        std::string name, value;
        if (!PercentDecodeComponent(piece.substr(0, eq), name))
            return Refuse("a malformed escape in a name");
        if (eq != std::string::npos && !PercentDecodeComponent(piece.substr(eq + 1), value))
            return Refuse("a malformed escape in the value of " + name);
        for (const std::string* text : {&name, &value})
            if (text->find_first_of(std::string("\0\r\n", 3)) != std::string::npos)
                return Refuse("a NUL, CR or LF in " + name);
        if (!seen.insert(name).second) return Refuse(name + " is given twice");
        const LaunchValueField* field = FindLaunchValueField(name);
        if (!field) {
            ++result.ignoredNames;
            continue;
        }
        if (field->number) {
            int32_t number = 0;
            if (!value.empty() && !ReadDecimal(value, number))
                return Refuse(name + " is not a number");
            result.values.*(field->number) = number;
        } else {
            result.values.*(field->text) = convert ? convert(value) : value;
        }
    }
    result.ok = true;
    return result;
}

}  // namespace quill::launcher
