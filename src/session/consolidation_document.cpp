#include "session/consolidation_document.h"
#include "session/session_names.h"

#include "platform/code_page.h"

namespace quill::session {

namespace {

// Single-byte characters only: the trail bytes of a multi-byte character are left alone.
std::string FileNamePart(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = platform::CharLength(text, i);
        if (length == 1) {
            const auto b = static_cast<unsigned char>(text[i]);
            const bool unfit = text[i] == '/' || text[i] == '\\' || b < 0x20 || b == 0x7F;
            out += unfit ? '_' : text[i];
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

std::string WithoutQuestionMarks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = platform::CharLength(text, i);
        if (length != 1 || text[i] != '?') out.append(text, i, length);
        i += length;
    }
    return out;
}

}  // namespace

ResultDocument MakeResultDocument(LaunchParams& params, const std::string& workingFolder) {
    params.SQUADDOCNM = platform::TrimMultiByte(WithoutQuestionMarks(params.SQUADDOCNM));
    ResultDocument document;
    document.name = FileNamePart(params.SQUADDOCNO) + "_" + FileNamePart(params.SQUADDOCNM) + "_" +
                    FileNamePart(params.NEXTPLANYMDCD) + "_" + FileNamePart(params.NEXTREVISNNO) +
                    "_SC_" + std::to_string(params.SQUADSQNUM) + ".pdf";
    document.path = workingFolder + "/" + platform::AnsiToUtf8(document.name);
    return document;
}

}  // namespace quill::session
