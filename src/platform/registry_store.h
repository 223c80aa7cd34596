// The registry: string values under Windows-style key paths, kept as one file per key.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace quill::platform {

// A key path such as "SOFTWARE\\Orvane\\Quillmark\\" maps to a file under the root folder;
// the file holds one "name=value" line per value (values escape '\\' and line feeds).
class RegistryStore {
public:
    // Root: $QUILLMARK_REGISTRY_ROOT, else /var/lib/quillmark/registry.
    static std::string DefaultRoot();
    explicit RegistryStore(std::string root = DefaultRoot());

    // All values of a key, in name order; nullopt when the key does not exist.
    std::optional<std::map<std::string, std::string>> ReadKey(const std::string& keyPath) const;
    std::optional<std::string> ReadValue(const std::string& keyPath, const std::string& name) const;
    // Creates the key when missing. Returns false when it cannot be written.
    bool WriteValue(const std::string& keyPath, const std::string& name, const std::string& value);

    std::string KeyFile(const std::string& keyPath) const;

private:
    // Creates folder and its missing parents; a folder made under one that every user may write
    // to is made so too.
    static bool CreateKeyFolder(const std::filesystem::path& folder);

    std::string root_;
};

inline constexpr const char* kQuillmarkKey = "SOFTWARE\\Orvane\\Quillmark\\";
inline constexpr const char* kCurrentToolKey = "SOFTWARE\\Orvane\\Quillmark\\CurrentTool\\";

// Values under kQuillmarkKey that the installation writes besides INSTALL_DIR.
inline constexpr const char* kProbeUrlValue = "PROBE_URL";  // address of the start-up probe
inline constexpr const char* kCodePageValue = "CODEPAGE";   // code page of the wire, e.g. CP949

}  // namespace quill::platform
