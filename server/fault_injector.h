// Injected faults for tests: chosen paths answer an error status, answer late, answer garbage or
// drop the connection, a given number of times.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quillserver {

enum class FaultKind { Status, Delay, Garbage, Drop };

struct FaultRule {
    FaultKind kind = FaultKind::Status;
    std::string path;  // exact request path, or "*" for every path
    int count = 1;     // how many requests it hits; -1 for every request
    int status = 500;  // for Status
    int delayMs = 0;   // for Delay
};

class FaultInjector {
public:
    void Add(const FaultRule& rule);
    void Clear();
    // Takes one hit of the first rule of that kind for the path; the rule goes when used up.
    std::optional<FaultRule> Take(const std::string& path, FaultKind kind);
    bool Empty() const;
    // One line per rule: "kind path count arg".
    std::string Describe() const;

    // "KIND:PATH[:ARG][@COUNT]", e.g. "status:/Comm/update.do:500@2", "delay:*:3000",
    // "garbage:/Comm/revision.do", "drop:/Comm/autoSave.do@*" (every time).
    static bool ParseRule(const std::string& text, FaultRule& rule, std::string& error);
    static bool ParseKind(const std::string& text, FaultKind& kind);
    static const char* KindName(FaultKind kind);

private:
    mutable std::mutex mutex_;
    std::vector<FaultRule> rules_;
};

}  // namespace quillserver
