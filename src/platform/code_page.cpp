#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/registry_store.h"

namespace quill::platform {
namespace {

std::mutex g_mutex;
std::string g_codePage;

// The code page of texts on the wire and in stored comment data. Windows clients of the same
// reviews send their system code page, CP949, so the local locale must not decide it: a client
// on a UTF-8 desktop would otherwise garble every Korean comment exchanged with them.
std::string DetectCodePage() {
    if (const char* forced = std::getenv("QUILLMARK_CODEPAGE"); forced && *forced) return forced;
    RegistryStore store;
    if (auto value = store.ReadValue(kQuillmarkKey, kCodePageValue)) {
        std::string name = TrimUtf8(*value);
        if (!name.empty()) return name;
    }
    return kDefaultCodePage;
}

bool IsUtf8(const std::string& cp) {
    return cp == "UTF-8" || cp == "utf-8" || cp == "UTF8" || cp == "utf8";
}

bool IsDoubleByte(const std::string& cp) {
    // Korean, Chinese and Japanese double-byte code pages share the rule that a byte
    // from 0x81 up opens a two-byte character.
    for (const char* n : {"CP949", "cp949", "EUC-KR", "euc-kr", "UHC", "CP936", "GBK", "GB2312",
                          "CP932", "SHIFT_JIS", "SJIS", "BIG5", "CP950", "EUC-JP"})
        if (cp == n) return true;
    return false;
}

std::string Convert(const std::string& input, const char* to, const char* from) {
    if (input.empty()) return {};
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return input;
    std::string out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            size_t used = static_cast<size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        } else {
            // Invalid or truncated input: write '?' for the byte and go on.
            if (outLeft < 1) {
                size_t used = static_cast<size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
            }
            *outPtr++ = '?';
            --outLeft;
            ++in;
            --inLeft;
        }
    }
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.resize(static_cast<size_t>(outPtr - out.data()));
    iconv_close(cd);
    return out;
}

}  // namespace

const std::string& SystemCodePage() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_codePage.empty()) g_codePage = DetectCodePage();
    return g_codePage;
}

void SetSystemCodePageForTesting(const std::string& name) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_codePage = name.empty() ? DetectCodePage() : name;
}

std::string AnsiToUtf8(const std::string& ansi) {
    const std::string& cp = SystemCodePage();
    if (IsUtf8(cp)) return ansi;
    return Convert(ansi, "UTF-8", cp.c_str());
}

std::string Utf8ToAnsi(const std::string& utf8) {
    const std::string& cp = SystemCodePage();
    if (IsUtf8(cp)) return utf8;
    return Convert(utf8, cp.c_str(), "UTF-8");
}

std::u16string AnsiToUtf16(const std::string& ansi) {
    std::string bytes = Convert(ansi, "UTF-16LE", SystemCodePage().c_str());
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

std::string Utf16ToAnsi(const std::u16string& utf16) {
    std::string bytes(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    return Convert(bytes, SystemCodePage().c_str(), "UTF-16LE");
}

size_t CharLength(const std::string& text, size_t pos) {
    if (pos >= text.size()) return 0;
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t len = 1;
    const std::string& cp = SystemCodePage();
    if (lead >= 0x80) {
        if (IsUtf8(cp)) {
            if (lead >= 0xF0)
                len = 4;
            else if (lead >= 0xE0)
                len = 3;
            else if (lead >= 0xC0)
                len = 2;
        } else if (IsDoubleByte(cp) && lead >= 0x81 && lead <= 0xFE) {
            len = 2;
        }
    }
    return std::min(len, text.size() - pos);
}

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

template <typename Fn>
std::string MapSingleBytes(const std::string& text, Fn fn) {
    std::string out = text;
    for (size_t i = 0; i < out.size();) {
        size_t len = CharLength(out, i);
        if (len == 1) out[i] = fn(out[i]);
        i += len;
    }
    return out;
}
}  // namespace

std::string TrimUtf8(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string TrimMultiByte(const std::string& text) {
    // White space is single-byte in every supported code page and never a trail byte,
    // so the trailing end can be found by walking characters from the front.
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) ++begin;
    size_t end = begin;
    for (size_t i = begin; i < text.size();) {
        size_t len = CharLength(text, i);
        if (len != 1 || !IsBlank(text[i])) end = i + len;
        i += len;
    }
    return text.substr(begin, end - begin);
}

std::string UpperMultiByte(const std::string& text) {
    return MapSingleBytes(text, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
}

std::string LowerMultiByte(const std::string& text) {
    return MapSingleBytes(text, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; });
}

}  // namespace quill::platform
