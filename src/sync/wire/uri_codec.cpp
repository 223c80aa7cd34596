#include "sync/wire/uri_codec.h"
#include "sync/sync_names.h"

#include "app/logs.h"
#include "codec/percent_encoding.h"

namespace quill::sync {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string UriEncodeForByteArray(const char* bytes, size_t length) {
    WriteLog("UriEncodeForByteArray", "BEGIN");
    return PercentEncode(std::string_view(bytes, length));
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

}  // namespace quill::sync
