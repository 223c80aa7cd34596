#include "session/engineer_index.h"
#include "session/session_names.h"

namespace quill::session {

EngineerIndex& AppEngineerIndex() {
    static EngineerIndex index;
    return index;
}

bool IsConsolidationFinished(const EngineerIndex& index, const std::string& text) {
    const auto it = index.find(text);
    return it != index.end() && it->second.consolidationFinished;
}

const char* EngineerSuffix(const EngineerIndex& index, const std::string& text) {
    return IsConsolidationFinished(index, text) ? " (Consolidation Finish) "
                                                : " (Consolidation Waiting) ";
}

}  // namespace quill::session
