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
        std::string text = platform::TrimMultiByte(data.substr(0, 259));
        if (name == "INSTALL_DIR") result = text;
    }
    return result;
}

std::string InstanceName(int squrvwmno, int rvwfileseq, int patcpseq, int repatcpseq) {
    return std::to_string(squrvwmno) + std::to_string(rvwfileseq) + std::to_string(patcpseq) +
           std::to_string(repatcpseq);
}

int RunStartup(const std::string& commandTail, const StartupHooks& hooks) {
    platform::Prompter& prompts = platform::Prompts();

    // Common controls and control hosting need no set-up with Qt.
    bool online = hooks.probeNetwork ? hooks.probeNetwork()
                                     : platform::ProbeConnection(platform::ProbeAddress());
    if (!online) {
        prompts.Error(kMsgNetworkError);
        return 1;
    }

    const std::string installFolder =
        hooks.readInstallDir ? hooks.readInstallDir() : ReadInstallDir();

    const std::string& text = commandTail == "debug" ? DebugLaunchString() : commandTail;
    LaunchParams& params = AppLaunchParams();
    params = LaunchParams{};
    if (!ParseLaunchParams(text, params)) {
        prompts.Error(kMsgAuthorityError);
        return 1;
    }

    AppFolders& folders = AppFoldersInstance();
    if (!PrepareFolders(params, installFolder, folders, hooks.localAppData)) {
        prompts.Error(kMsgFolderError);
        return 1;
    }
    WriteRequestLog("Open", commandTail);

    // Held for the life of the process; the kernel releases it when the process ends.
    static std::unique_ptr<platform::SingleInstanceLock> instanceLock;
    instanceLock = std::make_unique<platform::SingleInstanceLock>(
        InstanceName(params.SQURVWMNO, params.RVWFILESEQ, params.PATCPSEQ, params.REPATCPSEQ),
        hooks.lockFolder);
    if (!instanceLock->Acquire()) {
        prompts.Info(kMsgAlreadyRunning);
        return 1;
    }

    AppAnnotSubjectTable() = BuildAnnotSubjectTable();

    // GDI+ has no counterpart here: Qt's painting needs no start-up step that can fail.

    if (hooks.setProfileKey) hooks.setProfileKey();

    return hooks.runMainWindow ? hooks.runMainWindow() : 0;
}

}  // namespace quill::app
