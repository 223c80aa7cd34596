#include "launcher/link_launch.h"

#include <vector>

#include "launcher/install_dir.h"
#include "launcher/launch_link.h"
#include "platform/code_page.h"
#include "platform/process_start.h"
#include "platform/registry_store.h"

namespace quill::launcher {

std::string ReadInstallDirFromStore() {
    platform::RegistryStore store;
    auto key = store.ReadKey(kInstallKey);
    if (!key) return {};
    std::vector<RegistryValue> values;
    for (const auto& [name, text] : *key) {
        // The store keeps text without its terminator; give it back as the registry holds it.
        values.push_back(RegistryValue{name, kRegistryStringType, text + '\0'});
    }
    return PickInstallDir(values);
}

bool StartClientProcess(const LaunchRequest& request) {
    return platform::StartProgram(request.file, {request.parameters}) > 0;
}

int RunLinkLaunch(const std::string& link, const std::string& installDir,
                  const std::function<bool(const LaunchRequest&)>& start, std::ostream& err) {
    LaunchLinkResult read =
        ReadLaunchLink(link, [](const std::string& utf8) { return platform::Utf8ToAnsi(utf8); });
    if (!read.ok) {
        err << "quillstart: link refused: " << read.error << '\n';
        return kLinkRefused;
    }
    if (read.ignoredNames > 0)
        err << "quillstart: " << read.ignoredNames << " unknown name(s) ignored\n";

    bool started = false;
    LaunchHooks hooks;
    hooks.log = [&err](const std::string& message) { err << "quillstart: " << message << '\n'; };
    hooks.start = [&](const LaunchRequest& request) { started = start(request); };
    if (!RunLaunch(installDir, kClientProgram, '/', read.values, hooks)) return kLinkNoInstallDir;
    if (!started) {
        err << "quillstart: the client could not be started\n";
        return kLinkStartFailed;
    }
    return kLinkLaunched;
}

}  // namespace quill::launcher
