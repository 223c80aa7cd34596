#include "sync/autosave_settings.h"

#include "app/launch_params.h"

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
