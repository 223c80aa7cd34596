#include "platform/registry_store.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quill::platform {
namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '=')
            out += "\\e";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n == 'e' ? '=' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::string RegistryStore::DefaultRoot() {
    if (const char* env = std::getenv("QUILLMARK_REGISTRY_ROOT"); env && *env) return env;
    return "/var/lib/quillmark/registry";
}

RegistryStore::RegistryStore(std::string root) : root_(std::move(root)) {}

std::string RegistryStore::KeyFile(const std::string& keyPath) const {
    // Key paths are case-insensitive on the original platform: fold to upper case,
    // one folder per key segment.
    std::filesystem::path p(root_);
    std::string segment;
    auto flush = [&]() {
        if (segment.empty() || segment == "." || segment == "..") {
            segment.clear();
            return;
        }
        for (auto& c : segment)
            if (c >= 'a' && c <= 'z') c = char(c - 32);
        p /= segment;
        segment.clear();
    };
    for (char c : keyPath) {
        if (c == '\\' || c == '/')
            flush();
        else
            segment += c;
    }
    flush();
    return (p / "values.reg").string();
}

std::optional<std::map<std::string, std::string>> RegistryStore::ReadKey(
    const std::string& keyPath) const {
    std::ifstream in(KeyFile(keyPath), std::ios::binary);
    if (!in) return std::nullopt;
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        values[Unescape(line.substr(0, eq))] = Unescape(line.substr(eq + 1));
    }
    return values;
}

std::optional<std::string> RegistryStore::ReadValue(const std::string& keyPath,
                                                    const std::string& name) const {
    auto key = ReadKey(keyPath);
    if (!key) return std::nullopt;
    auto it = key->find(name);
    if (it == key->end()) return std::nullopt;
    return it->second;
}

bool RegistryStore::WriteValue(const std::string& keyPath, const std::string& name,
                               const std::string& value) {
    std::map<std::string, std::string> values =
        ReadKey(keyPath).value_or(std::map<std::string, std::string>{});
    values[name] = value;
    std::filesystem::path file(KeyFile(keyPath));
    if (!CreateKeyFolder(file.parent_path())) return false;
    // A new file of our own (never one another user could have placed under a known name),
    // renamed into place, so that a crash never leaves half a key.
    std::string tmp = file.string() + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    std::string text;
    for (const auto& [n, v] : values) text += Escape(n) + '=' + Escape(v) + '\n';
    bool written = fchmod(fd, 0644) == 0;
    for (size_t done = 0; written && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            written = false;
        else
            done += static_cast<size_t>(n);
    }
    written = close(fd) == 0 && written;
    std::error_code ec;
    if (written) std::filesystem::rename(tmp, file, ec);
    if (!written || ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

bool RegistryStore::CreateKeyFolder(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    const fs::path parent = folder.parent_path();
    if (parent.empty() || parent == folder || !CreateKeyFolder(parent)) return false;
    if (!fs::create_directory(folder, ec) && !fs::is_directory(folder, ec)) return false;
    // A key added under a key every user may change is open to every user too.
    const fs::perms parentPerms = fs::status(parent, ec).permissions();
    if (!ec && (parentPerms & fs::perms::others_write) != fs::perms::none)
        fs::permissions(folder, fs::perms::all, fs::perm_options::replace, ec);
    return true;
}

}  // namespace quill::platform
