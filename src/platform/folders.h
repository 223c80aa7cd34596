// Well-known folders of the user.
#pragma once

#include <string>

namespace quill::platform {

// $XDG_DATA_HOME, else ~/.local/share; empty when neither can be found.
std::string LocalAppDataFolder();
// $XDG_RUNTIME_DIR, else "<temp>/quillmark-<uid>", made private to the user; empty when that
// name is taken by something that is not the user's own folder.
std::string RuntimeFolder();

}  // namespace quill::platform
