// The remembered line width and border style of each drawing tool, kept in the registry.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/registry_store.h"

namespace quill::session {

inline constexpr const char* kThicknessValue = "Thickness";
inline constexpr const char* kBorderStyleValue = "BorderStyle";

// The widest line the style window offers; a stored width above it is not the reviewer's.
inline constexpr int kMaxStoredThickness = 12;

class ToolSettings {
public:
    explicit ToolSettings(platform::RegistryStore store);

    // Forgets what it held and reads the eight drawing tools' keys; a missing key gets its
    // defaults written (width 1; border style 9 for the cloud, 1 for the others).
    void LoadToolSettings();
    // Writes the value under the tool's key and remembers it; a failed write is silent.
    void SaveToolSetting(const std::string& tool, const std::string& name,
                         const std::string& value);
    // The remembered text; empty for an unknown tool or value.
    std::string Value(const std::string& tool, const std::string& name) const;

    static std::string ToolKeyPath(const std::string& tool);

private:
    platform::RegistryStore store_;
    std::map<std::string, std::map<std::string, std::string>> values_;
};

// The line width a stored text asks for, when it is a whole number from 1 to
// kMaxStoredThickness; otherwise none, and the comment keeps the width it was drawn with.
std::optional<int16_t> StoredThickness(const std::string& text);
// The border style code a stored text asks for, when it is a whole number from 1 to 9.
std::optional<int16_t> StoredBorderStyle(const std::string& text);

}  // namespace quill::session
