#include "sync/autosave_settings.h"
#include "sync/sync_names.h"

#include "app/launch_params.h"

namespace quill::sync {

AutosaveSettings AutosaveSettings::From(const LaunchParams& params,
                                        const std::string& workingFolder) {
    AutosaveSettings s;
    s.host = params.HOST;
    s.port = params.PORT;
    s.docId = params.docId;
    s.targetDocId = params.targetDocId;
    s.userId = params.USERID;
    s.workingFolder = workingFolder;
    return s;
}

}  // namespace quill::sync
