// The diagnostic log and the per-user request log.
#pragma once

#include <string>

namespace quill::app {

// Where the two logs go; set by PrepareFolders (tests set them directly).
void ConfigureLogs(const std::string& diagnosticLogPath, const std::string& requestLogPath);
const std::string& DiagnosticLogPath();
const std::string& RequestLogPath();

// "[y-m-d h:m:s.mmmm][DEBUG][tag] message\r\n"; callable from any thread. A line whose
// file cannot be opened at that moment is dropped.
void WriteLog(const std::string& tag, const std::string& message);

// "\r\n[yyyy-mm-dd hh:mm:ss.mmm]first, second"; records are kept whole across threads.
void WriteRequestLog(const std::string& first, const std::string& second);

// Formatting of one line or record at the current (injectable) clock, for the writers and tests.
std::string FormatLogLine(const std::string& tag, const std::string& message);
std::string FormatRequestRecord(const std::string& first, const std::string& second);

// Deletes "*.log" files in folder whose name ends in a date more than 30 days ago.
// Names without a valid date are left alone. Returns the number deleted.
int PurgeOldLogs(const std::string& folder);

}  // namespace quill::app
