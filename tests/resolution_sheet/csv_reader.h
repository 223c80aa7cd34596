// A small RFC 4180 reader the sheet tests read the written CSV back with.
#pragma once

#include <string>
#include <vector>

namespace quill::test {

// Splits text into records of fields: CRLF ends a record, quoted fields may hold commas,
// doubled quotes and line breaks. False on a stray quote or an unterminated quoted field.
bool ReadCsv(const std::string& text, std::vector<std::vector<std::string>>& records);

}  // namespace quill::test
