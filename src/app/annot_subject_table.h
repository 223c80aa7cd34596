// Comment subject name (English or Korean) to the type code of the tool that draws it.
#pragma once

#include <map>
#include <string>

namespace quill::app {

using AnnotSubjectTable = std::map<std::string, int>;

// Korean names are stored in the system code page. Lookups are exact and case-sensitive.
AnnotSubjectTable BuildAnnotSubjectTable();

// The process-wide table owned by the application object.
AnnotSubjectTable& AppAnnotSubjectTable();

}  // namespace quill::app
