// Where the client is installed: the INSTALL_DIR value under the client's registry key, read
// with bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill::launcher {

inline constexpr const char* kInstallKey = "SOFTWARE\\Orvane\\Quillmark\\";
inline constexpr const char* kInstallDirName = "INSTALL_DIR";
// Names and data are read into buffers of this many bytes, terminator included.
inline constexpr std::size_t kRegistryBufferBytes = 260;
// The registry's type of a plain string value.
inline constexpr uint32_t kRegistryStringType = 1;

// One value of the key as enumerated: its name, type and raw data bytes (terminator included).
struct RegistryValue {
    std::string name;
    uint32_t type = kRegistryStringType;
    std::string data;
};

// The folder a value's data names, or nothing when the data cannot be a folder: not a string,
// larger than the buffer, without a terminator, with a NUL before its end, or empty.
std::optional<std::string> InstallDirFromData(uint32_t type, const std::string& data);

// Walks the values in enumeration order; the one named INSTALL_DIR exactly gives the folder.
// Empty when there is none or its data does not pass InstallDirFromData.
std::string PickInstallDir(const std::vector<RegistryValue>& values);

}  // namespace quill::launcher
