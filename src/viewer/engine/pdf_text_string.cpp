#include "viewer/engine/pdf_text_string.h"

#include "platform/code_page.h"

namespace quill::engine {
namespace {

// PDFDocEncoding 0x80-0x9F (0x9F and unassigned codes map to U+FFFD).
constexpr char16_t kPdfDoc80[32] = {0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,
                                    0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018,
                                    0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160,
                                    0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD};

bool IsPlainAscii(const std::string& s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
        if (c < 0x20 && c != '\n' && c != '\r' && c != '\t') return false;
    }
    return true;
}

}  // namespace

std::string AnsiToPdfText(const std::string& ansi) {
    if (IsPlainAscii(ansi)) return ansi;
    const std::u16string u = platform::AnsiToUtf16(ansi);
    std::string out;
    out.reserve(2 + u.size() * 2);
    out += '\xFE';
    out += '\xFF';
    for (char16_t c : u) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

std::u16string PdfTextToUtf16(const std::string& b) {
    std::u16string u;
    if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFE &&
        static_cast<unsigned char>(b[1]) == 0xFF) {
        for (size_t i = 2; i + 1 < b.size(); i += 2) {
            u += static_cast<char16_t>((static_cast<unsigned char>(b[i]) << 8) |
                                       static_cast<unsigned char>(b[i + 1]));
        }
        return u;
    }
    if (b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xEF &&
        static_cast<unsigned char>(b[1]) == 0xBB && static_cast<unsigned char>(b[2]) == 0xBF) {
        // UTF-8 text strings: via the code page layer, which knows UTF-8 as well.
        const std::string ansi = platform::Utf8ToAnsi(b.substr(3));
        return platform::AnsiToUtf16(ansi);
    }
    for (unsigned char c : b) {
        if (c >= 0x80 && c <= 0x9F) {
            u += kPdfDoc80[c - 0x80];
        } else {
            u += static_cast<char16_t>(c);
        }
    }
    return u;
}

std::string PdfTextToAnsi(const std::string& b) {
    bool ascii = true;
    for (unsigned char c : b) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return b;
    if (b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xEF &&
        static_cast<unsigned char>(b[1]) == 0xBB && static_cast<unsigned char>(b[2]) == 0xBF) {
        return platform::Utf8ToAnsi(b.substr(3));
    }
    return platform::Utf16ToAnsi(PdfTextToUtf16(b));
}

}  // namespace quill::engine
