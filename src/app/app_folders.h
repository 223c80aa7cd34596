// The client's folders and file names: the working folder, the document file, the logs.
#pragma once

#include <string>

namespace quill::app {

struct AppFolders {
    std::string installFolder;       // INSTALL_DIR from the registry; may be empty
    std::string localAppData;        // the user's local application-data folder
    std::string workingFolder;       // <localAppData>/Quillmark, emptied at each start
    std::string documentFile;        // the downloaded review document
    std::string backupFolder;        // <installFolder>/Backup
    std::string dateFolder;          // <backupFolder>/yyyymmdd
    std::string reviewBackupFolder;  // <dateFolder>/<SQURVWMNO>.<RVWFILESEQ>
    std::string diagnosticLog;       // <installFolder>/pdf_quillmark_yyyymmdd.log
    std::string requestLog;          // <reviewBackupFolder>/<USERID>.sc
};

struct LaunchParams;

// Creates the folders, empties the working folder, names the document file and the logs
// (and points WriteLog/WriteRequestLog at them). localAppData empty: the platform's folder.
// A launch value made fit to be one file name: every byte that is not a letter, digit, "-",
// "_", a "." after the first byte, or part of a multi-byte character becomes "_".
std::string SafePathPart(const std::string& value);

bool PrepareFolders(const LaunchParams& params, const std::string& installFolder,
                    AppFolders& folders, const std::string& localAppData = {});

// Deletes everything inside folder (and the folder itself when removeSelf is set). Refuses
// any folder that is not the client's own working folder under the local application-data
// folder, or a subfolder of it. Never follows a symbolic link: a link is removed, not its target.
// Read-only files are made writable and deleted. Stops with false at the first failure.
bool EmptyFolder(const std::string& folder, bool removeSelf, const std::string& localAppData = {});

// "<folder>/yyyymmddhhmmssmmmm[.fdf]" at the current local time.
std::string TimestampedFileName(const std::string& folder, const char* extension);

// The process-wide folders owned by the application object.
AppFolders& AppFoldersInstance();

}  // namespace quill::app
