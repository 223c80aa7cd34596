// The consolidation's result document: its name, built from the launch values, and its path
// in the working folder.
#pragma once
#include "session/session_names.h"

#include <string>

#include "app/launch_params.h"

namespace quill::session {

struct ResultDocument {
    std::string name;  // in the system code page, as the review server is told it
    std::string path;  // UTF-8 on disk: the working folder, "/", the name in UTF-8
};

// "<SQUADDOCNO>_<SQUADDOCNM>_<NEXTPLANYMDCD>_<NEXTREVISNNO>_SC_<SQUADSQNUM>.pdf". SQUADDOCNM
// loses its "?" and the blanks at both ends, in params itself. In every part a "/", a "\" and
// a control byte become "_", so that the name stays one file of the working folder.
ResultDocument MakeResultDocument(LaunchParams& params, const std::string& workingFolder);

}  // namespace quill::session
