#include "launcher/install_dir.h"

namespace quill::launcher {

std::optional<std::string> InstallDirFromData(uint32_t type, const std::string& data) {
    if (type != kRegistryStringType) return std::nullopt;
    if (data.size() > kRegistryBufferBytes) return std::nullopt;
    // Trailing NULs are padding; a NUL before the text ends would hide what follows it.
    std::string::size_type end = data.size();
    while (end > 0 && data[end - 1] == '\0') --end;
    if (end == data.size()) return std::nullopt;  // no terminator
    std::string text = data.substr(0, end);
    if (text.empty() || text.find('\0') != std::string::npos) return std::nullopt;
    return text;
}

std::string PickInstallDir(const std::vector<RegistryValue>& values) {
    std::string folder;
    for (const RegistryValue& value : values) {
        if (value.name.size() >= kRegistryBufferBytes) continue;  // does not fit the name buffer
        if (value.name != kInstallDirName) continue;
        folder = InstallDirFromData(value.type, value.data).value_or(std::string());
    }
    return folder;
}

}  // namespace quill::launcher
