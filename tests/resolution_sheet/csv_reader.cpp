#include "resolution_sheet/csv_reader.h"

namespace quill::test {

bool ReadCsv(const std::string& text, std::vector<std::vector<std::string>>& records) {
    records.clear();
    std::vector<std::string> record;
    std::string field;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"' && field.empty()) {
            ++i;
            for (;;) {
                if (i >= text.size()) return false;
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r') return false;
            continue;
        }
        if (text[i] == ',') {
            record.push_back(field);
            field.clear();
            ++i;
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
            i += 2;
        } else if (text[i] == '"') {
            return false;
        } else {
            field += text[i++];
        }
    }
    if (!field.empty() || !record.empty()) {
        record.push_back(field);
        records.push_back(record);
    }
    return true;
}

}  // namespace quill::test
