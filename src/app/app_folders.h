// The client's folders and file names: the working folder, the document file, the logs.
#pragma once

#include <string>

namespace quill::app {

struct AppFolders {
    std::string installFolder;       // INSTALL_DIR from the registry, else appFolder
    std::string localAppData;        // the user's local application-data folder
    std::string appFolder;           // <localAppData>/Quillmark
    std::string workingFolder;       // <appFolder>/<instance name>, this client's own
    std::string documentFile;        // the downloaded review document
    std::string backupFolder;        // <installFolder>/Backup
    std::string dateFolder;          // <backupFolder>/yyyymmdd
    std::string reviewBackupFolder;  // <dateFolder>/<SQURVWMNO>.<RVWFILESEQ>
    std::string diagnosticLog;       // <installFolder>/pdf_quillmark_yyyymmdd.log
    std::string requestLog;          // <reviewBackupFolder>/<USERID>.sc
};

struct LaunchParams;

// The single-instance name: the four numbers written one after the other. It names the
// client's lock and its working folder.
std::string InstanceName(int squrvwmno, int rvwfileseq, int patcpseq, int repatcpseq);

// A launch value made fit to be one file name: every byte that is not a letter, digit, "-",
// "_", a "." after the first byte, or part of a multi-byte character becomes "_".
std::string SafePathPart(const std::string& value);

// Creates the folders, empties this client's working folder, removes the working folders of
// clients that no longer run (their single-instance lock in lockFolder is free), names the
// document file and the logs (and points WriteLog/WriteRequestLog at them). Call it while
// holding this client's single-instance lock, so that a second start of a running review
// never empties the first one's folder. An empty installFolder, or one this user may not
// write into, puts the logs and the backup tree into appFolder. localAppData empty: the platform's
// folder; lockFolder empty: the runtime folder.
bool PrepareFolders(const LaunchParams& params, const std::string& installFolder,
                    AppFolders& folders, const std::string& localAppData = {},
                    const std::string& lockFolder = {});

// Deletes everything inside folder (and the folder itself when removeSelf is set). Refuses
// any folder that is not a client's working folder inside <localAppData>/Quillmark, or a
// subfolder of one (never <localAppData>/Quillmark itself, which holds the other clients'
// folders). Never follows a symbolic link: a link is removed, not its target.
// Read-only files are made writable and deleted. Stops with false at the first failure.
bool EmptyFolder(const std::string& folder, bool removeSelf, const std::string& localAppData = {});

// "<folder>/yyyymmddhhmmssmmmm[.fdf]" at the current local time.
std::string TimestampedFileName(const std::string& folder, const char* extension);

// The process-wide folders owned by the application object.
AppFolders& AppFoldersInstance();

}  // namespace quill::app
