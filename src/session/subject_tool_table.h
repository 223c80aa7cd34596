// Which remembered tool style a comment's subject takes: subject text to tool key.
#pragma once
#include "session/session_names.h"

#include <map>
#include <string>

namespace quill::session {

// Keys are subjects in lower case; the Korean ones are stored in the system code page, as
// the control reports subjects.
using SubjectToolTable = std::map<std::string, std::string>;

SubjectToolTable BuildSubjectToolTable();

// The tool key of a subject (compared in lower case); empty when the subject is no drawing
// tool's (measurements, call-outs, notes, highlights...).
std::string ToolKeyOfSubject(const SubjectToolTable& table, const std::string& subject);

}  // namespace quill::session
