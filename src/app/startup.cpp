#include "app/startup.h"

#include <memory>

#include "app/annot_subject_table.h"
#include "app/app_folders.h"
#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/code_page.h"
#include "platform/network_probe.h"
#include "platform/prompter.h"
#include "platform/registry_store.h"
#include "platform/single_instance.h"

namespace quill::app {

std::string ReadInstallDir() {
    platform::RegistryStore store;
    auto values = store.ReadKey(platform::kQuillmarkKey);
    if (!values) return {};
    std::string result;
    for (const auto& [name, data] : *values) {
        // The original read names and data into 260-byte buffers.
        if (name.size() >= 260) continue;
        // A path on disk is UTF-8, whatever the code page of the wire.
        std::string text = platform::TrimUtf8(data.substr(0, 259));
        if (name == "INSTALL_DIR") result = text;
    }
    return result;
}

std::string ProbeTarget(const std::string& launchString) {
    std::string configured = platform::ProbeAddress();
    if (!configured.empty()) return configured;
    // The review server is what the client needs to reach; read its address without judging
    // the rest of the string, which start-up checks (and reports) later.
    LaunchParams params;
    ParseLaunchParams(launchString, params);
    if (params.HOST.empty()) return {};
    const std::string host =
        params.HOST.find(':') != std::string::npos ? "[" + params.HOST + "]" : params.HOST;
    if (params.PORT <= 0 || params.PORT > 65535) return "http://" + host + "/";
    return "http://" + host + ":" + std::to_string(params.PORT) + "/";
}

int RunStartup(const std::string& commandTail, const StartupHooks& hooks) {
    platform::Prompter& prompts = platform::Prompts();
    const std::string& text = commandTail == "debug" ? DebugLaunchString() : commandTail;

    // Common controls and control hosting need no set-up with Qt.
    bool online = true;
    if (hooks.probeNetwork) {
        online = hooks.probeNetwork();
    } else if (const std::string target = ProbeTarget(text); !target.empty()) {
        online = platform::ProbeConnection(target);
    }
    if (!online) {
        prompts.Error(kMsgNetworkError);
        return 1;
    }

    const std::string installFolder =
        hooks.readInstallDir ? hooks.readInstallDir() : ReadInstallDir();

    LaunchParams& params = AppLaunchParams();
    params = LaunchParams{};
    if (!ParseLaunchParams(text, params)) {
        prompts.Error(kMsgAuthorityError);
        return 1;
    }

    // The lock comes before the folders: a second start of a running review must stop before
    // it empties the working folder that the first one still reads. Held for the life of the
    // process; the kernel releases it when the process ends.
    static std::unique_ptr<platform::SingleInstanceLock> instanceLock;
    instanceLock = std::make_unique<platform::SingleInstanceLock>(
        InstanceName(params.SQURVWMNO, params.RVWFILESEQ, params.PATCPSEQ, params.REPATCPSEQ),
        hooks.lockFolder);
    switch (instanceLock->TryAcquire()) {
        case platform::SingleInstanceLock::State::Acquired:
            break;
        case platform::SingleInstanceLock::State::HeldElsewhere:
            prompts.Info(kMsgAlreadyRunning);
            return 1;
        case platform::SingleInstanceLock::State::Failed:
            prompts.Error(kMsgLockError);
            return 1;
    }

    AppFolders& folders = AppFoldersInstance();
    if (!PrepareFolders(params, installFolder, folders, hooks.localAppData, hooks.lockFolder)) {
        prompts.Error(kMsgFolderError);
        return 1;
    }

    AppAnnotSubjectTable() = BuildAnnotSubjectTable();

    // GDI+ has no counterpart here: Qt's painting needs no start-up step that can fail.

    if (hooks.setProfileKey) hooks.setProfileKey();

    return hooks.runMainWindow ? hooks.runMainWindow() : 0;
}

}  // namespace quill::app
