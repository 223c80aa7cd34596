// Well-known folders of the user.
#pragma once

#include <string>

namespace quill::platform {

// $XDG_DATA_HOME, else ~/.local/share; empty when neither can be found.
std::string LocalAppDataFolder();
// $XDG_RUNTIME_DIR, else the temporary folder.
std::string RuntimeFolder();

}  // namespace quill::platform
