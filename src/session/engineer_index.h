// The engineers of the consolidation: one entry per author of a comment, kept for the process.
#pragma once
#include "session/session_names.h"

#include <map>
#include <string>

namespace quill::session {

struct EngineerEntry {
    int participantSeq = 0;  // PATCP_SEQ
    std::string userId;      // FST_REG_USER_ID
    std::string discipline;  // SITE_USE_NM, trimmed
    std::string name;        // USER_KNM, trimmed
    std::string summary;     // the initiator's result summary for this engineer
    // True when the engineer has no comment newer than his last finish.
    bool consolidationFinished = false;
};

// Keyed by the author text "name-discipline"; a lookup of a missing key (operator[]) creates
// an empty entry.
using EngineerIndex = std::map<std::string, EngineerEntry>;

// The process-wide index, owned by the application object: it outlives the finish dialog, so
// the summaries typed survive its reopening.
EngineerIndex& AppEngineerIndex();

}  // namespace quill::session
