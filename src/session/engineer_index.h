// The engineers of the consolidation, by author text, with the initiator's summary for each.
#pragma once
#include "session/session_names.h"

#include <map>
#include <string>

namespace quill::session {

struct EngineerEntry {
    int participantSeq = 0;              // PATCP_SEQ
    std::string userId;                  // FST_REG_USER_ID
    std::string discipline;              // SITE_USE_NM, trimmed
    std::string name;                    // USER_KNM, trimmed
    std::string summary;                 // the initiator's result summary for this engineer
    bool consolidationFinished = false;  // no comment newer than his last finish
};

// Keyed by "name-discipline", the form of authorName, in the system code page. operator[]
// creates an empty entry for a missing key; readers that must not add engineers use find.
using EngineerIndex = std::map<std::string, EngineerEntry>;

// The process-wide index, filled by the consolidation page.
EngineerIndex& AppEngineerIndex();

// True only when the index holds text and that engineer is consolidation-finished; never adds.
bool IsConsolidationFinished(const EngineerIndex& index, const std::string& text);

// The list's suffix for an engineer: " (Consolidation Finish) " or " (Consolidation Waiting) ".
const char* EngineerSuffix(const EngineerIndex& index, const std::string& text);

}  // namespace quill::session
