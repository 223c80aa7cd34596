#include "app/app_folders.h"

#include <cctype>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/folders.h"
#include "platform/single_instance.h"

namespace quill::app {

namespace fs = std::filesystem;

namespace {

bool EnsureFolder(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec))) return true;
    return fs::create_directory(path, ec) && !ec;
}

// Folders of running or finished clients inside the application folder carry the instance
// name: the four launch numbers, each possibly negative.
bool IsInstanceName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if ((c < '0' || c > '9') && c != '-') return false;
    return true;
}

// A finished client's folder being deleted; a start that died halfway leaves it behind.
constexpr const char* kStalePrefix = ".stale-";

// A client's working folder, or a folder inside one, with ".." and links resolved lexically.
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
    if (rel.empty() || rel == ".") return false;
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

// Removes the working folders of clients that no longer run. A folder is taken only while its
// lock is held here, and moved out of its name before the lock goes, so that a client that
// starts for it meanwhile gets a fresh folder instead of one half deleted.
void RemoveFinishedClientsFolders(const std::string& appFolder, const std::string& ownName,
                                  const std::string& lockFolder) {
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (auto it = fs::directory_iterator(appFolder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        if (!fs::is_directory(it->symlink_status(statusError)) || statusError) continue;
        if (name.rfind(kStalePrefix, 0) == 0) {
            doomed.push_back(it->path());
            continue;
        }
        if (!IsInstanceName(name) || name == ownName) continue;
        platform::SingleInstanceLock lock(name, lockFolder);
        if (lock.TryAcquire() != platform::SingleInstanceLock::State::Acquired) continue;
        const fs::path moved =
            fs::path(appFolder) / (kStalePrefix + std::to_string(getpid()) + "-" + name);
        std::error_code renameError;
        fs::rename(it->path(), moved, renameError);
        if (!renameError) doomed.push_back(moved);
    }
    for (const fs::path& folder : doomed) RemoveEntry(folder);
}

}  // namespace

std::string InstanceName(int squrvwmno, int rvwfileseq, int patcpseq, int repatcpseq) {
    return std::to_string(squrvwmno) + std::to_string(rvwfileseq) + std::to_string(patcpseq) +
           std::to_string(repatcpseq);
}

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
                    AppFolders& folders, const std::string& localAppData,
                    const std::string& lockFolder) {
    folders.localAppData = localAppData.empty() ? platform::LocalAppDataFolder() : localAppData;
    if (folders.localAppData.empty()) return false;
    std::error_code ec;
    fs::create_directories(folders.localAppData, ec);
    folders.appFolder = folders.localAppData + "/Quillmark";
    if (!EnsureFolder(folders.appFolder)) return false;
    // Without an installation folder the logs and the backup tree stay with the user's own
    // application data, where a user without rights to the installation can write.
    folders.installFolder = installFolder.empty() ? folders.appFolder : installFolder;

    // Every running client has a folder of its own: another client's start never deletes the
    // document or the FDF files this one still reads.
    const std::string instance =
        InstanceName(params.SQURVWMNO, params.RVWFILESEQ, params.PATCPSEQ, params.REPATCPSEQ);
    folders.workingFolder = folders.appFolder + "/" + instance;
    if (!EnsureFolder(folders.workingFolder)) return false;
    folders.documentFile = TimestampedFileName(folders.workingFolder, nullptr);
    EmptyFolder(folders.workingFolder, false, folders.localAppData);
    RemoveFinishedClientsFolders(folders.appFolder, instance, lockFolder);

    platform::LocalTime t = platform::Now();
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", t.year, t.month, t.day);
    // The user id comes from the launch string in the wire code page: it names a file, never a
    // path, and file names on disk are UTF-8.
    const std::string requestLogName = SafePathPart(platform::AnsiToUtf8(params.USERID)) + ".sc";
    const std::string reviewFolderName =
        std::to_string(params.SQURVWMNO) + "." + std::to_string(params.RVWFILESEQ);
    auto placeLogsIn = [&](const std::string& base) {
        folders.installFolder = base;
        folders.diagnosticLog = base + "/" + std::string("pdf_quillmark_") + date + ".log";
        folders.backupFolder = base + "/Backup";
        folders.dateFolder = folders.backupFolder + "/" + date;
        folders.reviewBackupFolder = folders.dateFolder + "/" + reviewFolderName;
        folders.requestLog = folders.reviewBackupFolder + "/" + requestLogName;
        for (const std::string* f :
             {&folders.backupFolder, &folders.dateFolder, &folders.reviewBackupFolder})
            if (!EnsureFolder(*f)) return false;
        // Only a folder the user may write into can hold the logs; the tree alone may have
        // been made by another user.
        return access(folders.reviewBackupFolder.c_str(), W_OK | X_OK) == 0 &&
               access(base.c_str(), W_OK | X_OK) == 0;
    };
    // An installation shared by every user of the machine is theirs to read, not to write: the
    // logs and the backup tree then stay with the user's own application data instead of
    // ending the start. A configured folder that does not exist is still an error.
    bool placed = placeLogsIn(folders.installFolder);
    if (!placed && folders.installFolder != folders.appFolder &&
        fs::is_directory(folders.installFolder, ec))
        placed = placeLogsIn(folders.appFolder);
    if (!placed) return false;
    ConfigureLogs(folders.diagnosticLog, folders.requestLog);
    return true;
}

AppFolders& AppFoldersInstance() {
    static AppFolders folders;
    return folders;
}

}  // namespace quill::app
