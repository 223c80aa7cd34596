#include "session/subject_tool_table.h"
#include "session/session_names.h"

#include "platform/code_page.h"

namespace quill::session {

SubjectToolTable BuildSubjectToolTable() {
    struct Row {
        const char* utf8Subject;
        const char* tool;
    };
    static const Row kRows[] = {
        {"구름", "CLOUDY"},
        {"cloudy", "CLOUDY"},
        {"화살표", "ARROW"},
        {"arrow", "ARROW"},
        {"선", "LINE"},
        {"line", "LINE"},
        {"사각형", "RECTANGLE"},
        {"rectangle", "RECTANGLE"},
        {"타원", "CIRCLE"},
        {"circle", "CIRCLE"},
        {"ellipse", "ELLIPSE"},
        {"다각형", "POLYGON"},
        {"polygon", "POLYGON"},
        {"다각선", "POLYLINE"},
        {"polygon line", "POLYLINE"},
        {"연필", "PENCIL"},
        {"pencil", "PENCIL"},
    };
    SubjectToolTable table;
    // Subjects come from the control in the system code page: so do the keys.
    for (const Row& row : kRows) table[platform::Utf8ToAnsi(row.utf8Subject)] = row.tool;
    return table;
}

std::string ToolKeyOfSubject(const SubjectToolTable& table, const std::string& subject) {
    auto it = table.find(platform::LowerMultiByte(subject));
    return it == table.end() ? std::string() : it->second;
}

}  // namespace quill::session
