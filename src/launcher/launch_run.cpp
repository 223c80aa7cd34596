#include "launcher/launch_run.h"

#include <utility>

namespace quill::launcher {

namespace {

// Fires the close event when the launch ends, however it ends.
class CloseOnExit {
public:
    explicit CloseOnExit(const std::function<void()>& close) : close_(close) {}
    ~CloseOnExit() {
        if (close_) close_();
    }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    const std::function<void()>& close_;
};

}  // namespace

std::string ClientFile(const std::string& installDir, const std::string& program, char separator) {
    if (installDir.empty()) return {};
    std::string file = installDir;
    if (file.back() != separator) file += separator;
    return file + program;
}

bool RunLaunch(const std::string& installDir, const std::string& program, char separator,
               const LaunchValues& values, const LaunchHooks& hooks) {
    CloseOnExit closing(hooks.close);
    LaunchRequest request;
    request.file = ClientFile(installDir, program, separator);
    if (request.file.empty()) {
        if (hooks.log) hooks.log("no installation folder: the client is not started");
        return false;
    }
    request.parameters = FormatLaunchString(values, hooks.log);
    if (hooks.start) hooks.start(request);
    return true;
}

}  // namespace quill::launcher
