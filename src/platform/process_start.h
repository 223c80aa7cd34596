// Starting another program: posix_spawn with an argument vector, never a shell.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace quill::platform {

// Starts program with the given arguments (argv[0] is the program path itself).
// Returns the child's process id, or -1 when it could not be started.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& args);

// Ends this process at once, without running destructors or exit handlers.
[[noreturn]] void EndProcessNow(int status);

}  // namespace quill::platform
