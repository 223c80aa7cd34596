#include "app/logs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>

#include "app/launch_params.h"
#include "platform/clock.h"
#include "platform/code_page.h"

namespace quill::app {

namespace {

std::mutex g_configMutex;
std::string g_diagnosticPath;
std::string g_requestPath;
std::mutex g_diagnosticMutex;
std::mutex g_requestMutex;

// Appends bytes under an exclusive lock on the file, so that clients of other reviews
// sharing the day's log never interleave inside a line. Gives up rather than blocks.
void AppendLocked(const std::string& path, const std::string& bytes) {
    if (path.empty() || path.size() > 259) return;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            size_t done = 0;
            while (done < bytes.size()) {
                ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            flock(fd, LOCK_UN);
            break;
        }
        usleep(1000);
    }
    close(fd);
}

std::string Snapshot(const std::string& value) {
    std::lock_guard<std::mutex> lock(g_configMutex);
    return value;
}

}  // namespace

void ConfigureLogs(const std::string& diagnosticLogPath, const std::string& requestLogPath) {
    std::lock_guard<std::mutex> lock(g_configMutex);
    g_diagnosticPath = diagnosticLogPath;
    g_requestPath = requestLogPath;
}

const std::string& DiagnosticLogPath() { return g_diagnosticPath; }
const std::string& RequestLogPath() { return g_requestPath; }

std::string FormatLogLine(const std::string& tag, const std::string& message) {
    platform::LocalTime t = platform::Now();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d %d:%d:%d.%04d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    return "[" + std::string(stamp) + "][DEBUG][" + tag + "] " + message + "\r\n";
}

std::string FormatRequestRecord(const std::string& first, const std::string& second) {
    platform::LocalTime t = platform::Now();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return "\r\n[" + std::string(stamp) + "]" + first + ", " + second;
}

void WriteLog(const std::string& tag, const std::string& message) {
    std::string path = Snapshot(g_diagnosticPath);
    if (path.empty()) return;
    std::string line = FormatLogLine(tag, message);
    std::lock_guard<std::mutex> lock(g_diagnosticMutex);
    AppendLocked(path, line);
}

void WriteRequestLog(const std::string& first, const std::string& second) {
    std::string path = Snapshot(g_requestPath);
    if (path.empty()) return;
    std::string record = FormatRequestRecord(first, second);
    std::lock_guard<std::mutex> lock(g_requestMutex);
    AppendLocked(path, record);
}

namespace {

// The date a diagnostic log is named after ("pdf_quillmark_20240305.log"); nullopt when the
// name holds no valid date.
std::optional<platform::LocalTime> LogDateOfName(const std::string& name) {
    size_t underscore = name.rfind('_');
    std::string part = underscore == std::string::npos ? name : name.substr(underscore + 1);
    size_t dot = part.rfind('.');
    if (dot != std::string::npos) part = part.substr(0, dot);
    part = platform::TrimMultiByte(part);
    if (part.size() < 8 ||
        !std::all_of(part.begin(), part.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    platform::LocalTime date{AtoiLike(part.substr(0, 4)),
                             AtoiLike(part.substr(4, 2)),
                             AtoiLike(part.substr(part.size() - 2, 2)),
                             0,
                             0,
                             0,
                             0};
    if (date.year < 1900 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31)
        return std::nullopt;
    return date;
}

}  // namespace

int PurgeOldLogs(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int deleted = 0;
    const std::time_t now = platform::ToTimeT(platform::Now());
    for (auto it = fs::directory_iterator(folder.empty() ? "." : folder, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file() || it->is_symlink()) continue;
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".log") != 0) continue;
        const auto date = LogDateOfName(name);
        if (!date) continue;
        const std::time_t midnight = platform::ToTimeT(*date);
        if (midnight == static_cast<std::time_t>(-1)) continue;
        const long long days = static_cast<long long>(std::difftime(now, midnight)) / 86400;
        if (days > 30 && fs::remove(it->path(), ec)) ++deleted;
    }
    return deleted;
}

}  // namespace quill::app
