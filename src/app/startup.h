// The client's start-up: from the command-line tail to the main window, and its messages.
#pragma once

#include <functional>
#include <string>

#include "app/app_folders.h"

namespace quill::app {

// What start-up needs from its surroundings; tests replace every piece.
struct StartupHooks {
    std::function<bool()> probeNetwork;           // defaults to a real probe of ProbeTarget()
    std::function<std::string()> readInstallDir;  // defaults to ReadInstallDir()
    std::string localAppData;                     // empty: the user's folder
    std::string lockFolder;                       // empty: the runtime folder
    std::function<void()> setProfileKey;          // step 10; may be empty
    std::function<int()> runMainWindow;           // step 11; returns the process exit status
};

inline constexpr const char* kMsgNetworkError = "Network connection error.";
inline constexpr const char* kMsgAuthorityError =
    "System authority error.\n(Please request to IT Operation Team.)";
inline constexpr const char* kMsgFolderError = "Application folder error.";
inline constexpr const char* kMsgAlreadyRunning = "This program is already running.";
inline constexpr const char* kMsgLockError = "Cannot create the single-instance lock.";
inline constexpr const char* kMsgGdiError = "ERROR: Failed to initialize GDI+";
inline constexpr const char* kProfileKey = "로컬 응용 프로그램 마법사에서 생성된 응용 프로그램";

// Installation folder: INSTALL_DIR under the client's registry key, trimmed; empty when missing.
std::string ReadInstallDir();

// The address of the start-up network probe: the one the installation names (ProbeAddress),
// else the review server of the launch string ("http://HOST:PORT/"); empty when neither
// names one, and then there is nothing to probe.
std::string ProbeTarget(const std::string& launchString);

// Runs start-up in order; a failed step shows its message through the prompter and returns
// a non-zero status without running the main window. Fills the application's LaunchParams,
// folders and subject table.
int RunStartup(const std::string& commandTail, const StartupHooks& hooks);

}  // namespace quill::app
