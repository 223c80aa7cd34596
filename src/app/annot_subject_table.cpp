#include "app/annot_subject_table.h"

#include "platform/code_page.h"

namespace quill::app {

AnnotSubjectTable BuildAnnotSubjectTable() {
    struct Entry {
        int code;
        const char* english[2];
        const char* korean[2];  // UTF-8 here, stored in the system code page
    };
    static const Entry kEntries[] = {
        {0, {"cloudy", nullptr}, {"구름", nullptr}},
        {1, {"arrow", nullptr}, {"화살표", nullptr}},
        {2, {"line", nullptr}, {"선", nullptr}},
        {3, {"rectangle", nullptr}, {"사각형", nullptr}},
        {4, {"circle", "ellipse"}, {"타원", nullptr}},
        {5, {"polygon", nullptr}, {"다각형", nullptr}},
        {6, {"polygon line", nullptr}, {"다각선", nullptr}},
        {7, {"pencil", nullptr}, {"연필", nullptr}},
        {8, {"distance measurement", nullptr}, {"거리 측정", nullptr}},
        {9, {"perimeter measurement", nullptr}, {"둘레 측정", nullptr}},
        {10, {"area measurement", nullptr}, {"면적 측정", nullptr}},
        {11, {"callout", nullptr}, {"설명선", nullptr}},
        {12, {"note", nullptr}, {"노트", nullptr}},
        {13, {"file attachment", nullptr}, {"파일 첨부", nullptr}},
        {14, {"highlight", nullptr}, {"하이라이트", "강조"}},
        {15, {"strikeout", nullptr}, {"취소선", nullptr}},
        {16, {"image", nullptr}, {"이미지", nullptr}},
    };
    AnnotSubjectTable table;
    for (const Entry& e : kEntries) {
        for (const char* name : e.english)
            if (name) table[name] = e.code;
        for (const char* name : e.korean)
            if (name) table[platform::Utf8ToAnsi(name)] = e.code;
    }
    return table;
}

AnnotSubjectTable& AppAnnotSubjectTable() {
    static AnnotSubjectTable table;
    return table;
}

}  // namespace quill::app
