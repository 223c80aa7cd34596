// One launch of the client: its file and string, the start, and the close event fired once.
#pragma once

#include <functional>
#include <string>

#include "launcher/launch_string.h"
#include "launcher/launch_values.h"

namespace quill::launcher {

// What is started: the client's file in the installation folder and its parameter string.
struct LaunchRequest {
    std::string file;
    std::string parameters;
};

// How a front end starts the client and tells its page that the launch is over.
struct LaunchHooks {
    std::function<void(const LaunchRequest&)> start;
    std::function<void()> close;
    LaunchLog log;
};

// "<folder><separator><program>", empty when the folder is empty: without an installation
// folder there is no client to start, and a bare "\Quillmark.exe" would name the root of the
// current drive, a place others may write.
std::string ClientFile(const std::string& installDir, const std::string& program, char separator);

// Builds the request and starts it unless the file is empty; close runs exactly once afterwards,
// also when start throws (the exception then goes on to the caller). Returns whether start ran.
bool RunLaunch(const std::string& installDir, const std::string& program, char separator,
               const LaunchValues& values, const LaunchHooks& hooks);

}  // namespace quill::launcher
