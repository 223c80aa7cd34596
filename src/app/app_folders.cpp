#include "app/app_folders.h"

#include <cctype>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/clock.h"
#include "platform/folders.h"

namespace quill::app {

namespace fs = std::filesystem;

namespace {

bool EnsureFolder(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec))) return true;
    return fs::create_directory(path, ec) && !ec;
}

std::string Join(const std::string& folder, const std::string& name) {
    // An empty install folder puts logs relative to the root, as the original did.
    return folder.empty() ? "/" + name : folder + "/" + name;
}

// The working folder, or a folder inside it, with ".." and links resolved lexically.
bool IsInsideWorkingFolder(const std::string& folder, const std::string& localAppData) {
    if (localAppData.empty()) return false;
    std::error_code ec;
    fs::path root = fs::weakly_canonical(fs::path(localAppData) / "Quillmark", ec);
    if (ec) return false;
    fs::path target = fs::path(folder).lexically_normal();
    // The target's parent chain must be real folders, not links, below the working folder.
    fs::path parent = fs::weakly_canonical(target.parent_path(), ec);
    if (ec) return false;
    fs::path full = parent / target.filename();
    if (target.filename().empty()) full = parent;
    auto rel = full.lexically_relative(root);
    if (rel.empty()) return false;
    return *rel.begin() != "..";
}

bool RemoveEntry(const fs::path& path) {
    std::error_code ec;
    auto status = fs::symlink_status(path, ec);
    if (ec) return false;
    if (fs::is_symlink(status)) return fs::remove(path, ec) && !ec;
    if (fs::is_directory(status)) {
        for (auto it = fs::directory_iterator(path, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            if (!RemoveEntry(it->path())) return false;
        }
        if (ec) return false;
        return fs::remove(path, ec) && !ec;
    }
    // Clear a read-only attribute before deleting, as the original did.
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    return fs::remove(path, ec) && !ec;
}

}  // namespace

std::string TimestampedFileName(const std::string& folder, const char* extension) {
    platform::LocalTime t = platform::Now();
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d%04d%s", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond, extension ? extension : "");
    return folder + "/" + name;
}

bool EmptyFolder(const std::string& folder, bool removeSelf, const std::string& localAppData) {
    const std::string appData =
        localAppData.empty() ? platform::LocalAppDataFolder() : localAppData;
    if (!IsInsideWorkingFolder(folder, appData)) return false;
    std::error_code ec;
    auto status = fs::symlink_status(folder, ec);
    if (ec || !fs::is_directory(status)) return false;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (!RemoveEntry(it->path())) return false;
    }
    if (ec) return false;
    if (removeSelf) return fs::remove(folder, ec) && !ec;
    return true;
}

std::string SafePathPart(const std::string& value) {
    std::string out = value;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        // Letters, digits, "-", "_", "." and the bytes of multi-byte characters (never a "/" or
        // a control byte in the system code page) stay; anything that could leave the folder
        // or confuse a shell goes.
        const bool safe =
            std::isalnum(b) || c == '-' || c == '_' || (c == '.' && &c != &out[0]) || b >= 0x80;
        if (!safe) c = '_';
    }
    return out;
}

bool PrepareFolders(const LaunchParams& params, const std::string& installFolder,
                    AppFolders& folders, const std::string& localAppData) {
    folders.installFolder = installFolder;
    folders.localAppData = localAppData.empty() ? platform::LocalAppDataFolder() : localAppData;
    if (folders.localAppData.empty()) return false;
    std::error_code ec;
    fs::create_directories(folders.localAppData, ec);
    folders.workingFolder = folders.localAppData + "/Quillmark";
    if (!EnsureFolder(folders.workingFolder)) return false;
    folders.documentFile = TimestampedFileName(folders.workingFolder, nullptr);
    EmptyFolder(folders.workingFolder, false, folders.localAppData);

    platform::LocalTime t = platform::Now();
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", t.year, t.month, t.day);
    folders.diagnosticLog = Join(installFolder, std::string("pdf_quillmark_") + date + ".log");

    folders.backupFolder = Join(installFolder, "Backup");
    folders.dateFolder = folders.backupFolder + "/" + date;
    folders.reviewBackupFolder = folders.dateFolder + "/" + std::to_string(params.SQURVWMNO) + "." +
                                 std::to_string(params.RVWFILESEQ);
    // The user id comes from the launch string: it names a file, never a path.
    folders.requestLog = folders.reviewBackupFolder + "/" + SafePathPart(params.USERID) + ".sc";
    ConfigureLogs(folders.diagnosticLog, folders.requestLog);
    for (const std::string* f :
         {&folders.backupFolder, &folders.dateFolder, &folders.reviewBackupFolder})
        if (!EnsureFolder(*f)) return false;
    return true;
}

AppFolders& AppFoldersInstance() {
    static AppFolders folders;
    return folders;
}

}  // namespace quill::app
