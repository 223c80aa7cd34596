// Writes the "BEGIN" and "END" lines of one synchronisation step to the diagnostic log.
#pragma once
#include "sync/sync_names.h"

#include <string>

#include "app/logs.h"

namespace quill::sync {

class LogStep {
public:
    explicit LogStep(const char* name) : name_(name) { WriteLog(name_, "BEGIN"); }
    ~LogStep() { WriteLog(name_, "END"); }
    LogStep(const LogStep&) = delete;
    LogStep& operator=(const LogStep&) = delete;

    void Log(const std::string& message) const { WriteLog(name_, message); }

private:
    const char* name_;
};

}  // namespace quill::sync
