#include "session/engineer_index.h"
#include "session/session_names.h"

namespace quill::session {

EngineerIndex& AppEngineerIndex() {
    static EngineerIndex index;
    return index;
}

}  // namespace quill::session
