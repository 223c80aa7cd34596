#include "sync/uri_codec.h"

#include "app/logs.h"

namespace {

bool IsAlnum(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string UriEncodeForByteArray(const char* bytes, size_t length) {
    WriteLog("UriEncodeForByteArray", "BEGIN");
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(length * 3);
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (IsAlnum(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

ByteBuffer UriDecode2ByteArray(std::string_view text) {
    WriteLog("UriDecode2ByteArray", "BEGIN");
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && text.size() - i >= 3) {
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += c == '+' ? ' ' : c;
    }
    WriteLog("UriDecode2ByteArray", "END");
    return ByteBuffer::Copy(out);
}
