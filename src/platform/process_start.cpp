#include "platform/process_start.h"

#include <spawn.h>

#include <cstdlib>

extern char** environ;

namespace quill::platform {

pid_t StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void EndProcessNow(int status) { std::_Exit(status); }

}  // namespace quill::platform
