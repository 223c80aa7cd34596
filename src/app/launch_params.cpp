#include "app/launch_params.h"

#include <vector>

#include "platform/code_page.h"

namespace quill::app {

namespace {

enum class FieldKind { Text, Number, Colour };

struct Field {
    const char* key;
    FieldKind kind;
    std::string LaunchParams::*text;
    int32_t LaunchParams::*number;
};

#define TEXT_FIELD(k) \
    Field { #k, FieldKind::Text, &LaunchParams::k, nullptr }
#define NUMBER_FIELD(k) \
    Field { #k, FieldKind::Number, nullptr, &LaunchParams::k }

const Field kFields[] = {
    TEXT_FIELD(HOST),          NUMBER_FIELD(PORT),
    TEXT_FIELD(USERID),        TEXT_FIELD(OPENERID),
    NUMBER_FIELD(SQURVWMNO),   NUMBER_FIELD(PATCPSEQ),
    NUMBER_FIELD(REPATCPSEQ),  NUMBER_FIELD(RVWFILESEQ),
    TEXT_FIELD(ELEMENTID),     Field{"COMMENTCOLOR", FieldKind::Colour, nullptr, nullptr},
    TEXT_FIELD(PATCPCLSCD),    TEXT_FIELD(PROGCLSCD),
    TEXT_FIELD(SQUADDOCNO),    TEXT_FIELD(SQUADDOCNM),
    TEXT_FIELD(NEXTPLANYMDCD), TEXT_FIELD(NEXTREVISNNO),
    TEXT_FIELD(SITEUSENM),     TEXT_FIELD(USERKNM),
    TEXT_FIELD(SITECD),        TEXT_FIELD(OWNER),
    TEXT_FIELD(ECM_HOST),      NUMBER_FIELD(ECM_PORT),
    TEXT_FIELD(ECM_SERVER_ID), TEXT_FIELD(KESTRON),
    NUMBER_FIELD(SQUADSQNUM),  NUMBER_FIELD(TGTSQURVWMNO),
    TEXT_FIELD(STSCD),         TEXT_FIELD(APPR),
};

#undef TEXT_FIELD
#undef NUMBER_FIELD

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads decimal digits into an unsigned value; stops at the first other byte.
// Returns the position after the digits, or npos when there were none.
size_t ReadUnsigned(const std::string& s, size_t pos, uint32_t& value) {
    size_t start = pos;
    uint32_t v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10u + static_cast<uint32_t>(s[pos] - '0');
        ++pos;
    }
    if (pos == start) return std::string::npos;
    value = v;
    return pos;
}

void DeriveValues(LaunchParams& p) {
    p.authorName = p.USERKNM + "-" + p.SITEUSENM;
    p.docId = std::to_string(p.SQURVWMNO) + std::to_string(p.RVWFILESEQ);
    p.targetDocId = std::to_string(p.TGTSQURVWMNO) + std::to_string(p.RVWFILESEQ);
    p.patcpClass02 = p.PATCPCLSCD == "02";
    p.patcpClass03 = !p.patcpClass02 && p.PATCPCLSCD == "03";
    if (p.USERID == p.OPENERID || p.OWNER == "Y")
        p.isOpener = !p.patcpClass03;
    else
        p.isOpener = false;
    p.gatherMode = p.TGTSQURVWMNO != 0 && p.isOpener;
    p.feedbackMode = p.STSCD == "03";
}

}  // namespace

int32_t AtoiLike(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
        ++i;
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

uint32_t ParseCommentColor(const std::string& value) {
    uint32_t rgb[3] = {0, 0, 0};
    if (value.compare(0, 4, "RGB(") == 0) {
        size_t pos = 4;
        for (int i = 0; i < 3; ++i) {
            // scanf's %u skips leading white space before each number.
            while (pos < value.size() && IsSpace(value[pos])) ++pos;
            size_t next = ReadUnsigned(value, pos, rgb[i]);
            if (next == std::string::npos) break;
            pos = next;
            if (i < 2) {
                if (pos >= value.size() || value[pos] != ',') break;
                ++pos;
            }
        }
    }
    return (rgb[0] & 0xFF) + (rgb[1] & 0xFF) * 256u + (rgb[2] & 0xFF) * 65536u;
}

bool ParseLaunchParams(const std::string& text, LaunchParams& params) {
    // Split at '&': runs of '&' are one separator; an empty piece after trimming ends the read.
    std::vector<std::string> pieces;
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == '&') ++pos;
        if (pos >= text.size()) break;
        size_t end = text.find('&', pos);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(pos, end - pos);
        if (!first) piece = platform::TrimMultiByte(piece);
        first = false;
        if (piece.empty()) break;
        pieces.push_back(std::move(piece));
        pos = end;
    }
    if (pieces.empty()) return false;  // an empty string has an empty value

    for (const std::string& piece : pieces) {
        size_t eq = piece.find('=');
        std::string key, value;
        if (eq == std::string::npos) {
            value = platform::TrimMultiByte(piece);
        } else {
            key = platform::TrimMultiByte(piece.substr(0, eq));
            value = platform::TrimMultiByte(piece.substr(eq + 1));
        }
        if (value.empty()) return false;
        if (key.empty()) continue;
        key = platform::UpperMultiByte(key);
        for (const Field& f : kFields) {
            if (key != f.key) continue;
            switch (f.kind) {
                case FieldKind::Text:
                    params.*(f.text) = value;
                    break;
                case FieldKind::Number:
                    params.*(f.number) = AtoiLike(value);
                    break;
                case FieldKind::Colour:
                    params.COMMENTCOLOR = ParseCommentColor(value);
                    break;
            }
            break;
        }
    }
    DeriveValues(params);
    return true;
}

const std::string& DebugLaunchString() {
    static const std::string text =
        "HOST=127.0.0.1&PORT=8087&USERID=reviewer1&OPENERID=opener1&SQURVWMNO=1001&PATCPSEQ=2"
        "&REPATCPSEQ=0&RVWFILESEQ=1&ELEMENTID=sample-drawing&COMMENTCOLOR=RGB(0,102,204)"
        "&PATCPCLSCD=01&PROGCLSCD=10&SQUADDOCNO=QM-DWG-0001&SQUADDOCNM=Sample General Arrangement"
        "&NEXTPLANYMDCD=IFC&NEXTREVISNNO=B&SITEUSENM=Piping&USERKNM=Kim Minsu&SITECD=S01&OWNER=N"
        "&ECM_HOST=127.0.0.1&ECM_PORT=2104&ECM_SERVER_ID=QECM01&KESTRON=DEV&SQUADSQNUM=1"
        "&TGTSQURVWMNO=0&STSCD=02&APPR=N";
    return text;
}

LaunchParams& AppLaunchParams() {
    static LaunchParams params;
    return params;
}

}  // namespace quill::app
