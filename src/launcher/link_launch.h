// The URL handler's work: a "quillmark:" link in, the client started from its folder without
// any shell. Linux only (the start is posix_spawn).
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "launcher/launch_run.h"

namespace quill::launcher {

// The client's program in the installation folder.
inline constexpr const char* kClientProgram = "Quillmark";

// Exit codes of quillstart.
enum LinkLaunchStatus : int {
    kLinkLaunched = 0,
    kLinkRefused = 2,
    kLinkNoInstallDir = 3,
    kLinkStartFailed = 4,
};

// INSTALL_DIR from the installation's registry store ($QUILLMARK_REGISTRY_ROOT when set).
std::string ReadInstallDirFromStore();

// Starts the client's file with the string as its one argument; false when it could not start.
bool StartClientProcess(const LaunchRequest& request);

// Reads the link, and starts the client with its values (texts in the system code page) through
// start. Refusals and changes are told on err.
int RunLinkLaunch(const std::string& link, const std::string& installDir,
                  const std::function<bool(const LaunchRequest&)>& start, std::ostream& err);

}  // namespace quill::launcher
