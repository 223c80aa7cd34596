#include "server/fault_injector.h"

#include "server/request_params.h"

namespace quillserver {

void FaultInjector::Add(const FaultRule& rule) {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.push_back(rule);
}

void FaultInjector::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.clear();
}

bool FaultInjector::Empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rules_.empty();
}

std::optional<FaultRule> FaultInjector::Take(const std::string& path, FaultKind kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = rules_.begin(); it != rules_.end(); ++it) {
        if (it->kind != kind || (it->path != "*" && it->path != path)) continue;
        FaultRule hit = *it;
        if (it->count > 0 && --it->count == 0) rules_.erase(it);
        return hit;
    }
    return std::nullopt;
}

std::string FaultInjector::Describe() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const auto& r : rules_) {
        out += KindName(r.kind);
        out += ' ';
        out += r.path;
        out += ' ';
        out += std::to_string(r.count);
        if (r.kind == FaultKind::Status) out += ' ' + std::to_string(r.status);
        if (r.kind == FaultKind::Delay) out += ' ' + std::to_string(r.delayMs);
        out += '\n';
    }
    return out;
}

const char* FaultInjector::KindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::Status:
            return "status";
        case FaultKind::Delay:
            return "delay";
        case FaultKind::Garbage:
            return "garbage";
        case FaultKind::Drop:
            return "drop";
    }
    return "?";
}

bool FaultInjector::ParseKind(const std::string& text, FaultKind& kind) {
    if (text == "status")
        kind = FaultKind::Status;
    else if (text == "delay")
        kind = FaultKind::Delay;
    else if (text == "garbage")
        kind = FaultKind::Garbage;
    else if (text == "drop")
        kind = FaultKind::Drop;
    else
        return false;
    return true;
}

bool FaultInjector::ParseRule(const std::string& text, FaultRule& rule, std::string& error) {
    std::string body = text;
    rule = FaultRule{};
    size_t at = body.rfind('@');
    if (at != std::string::npos) {
        std::string count = body.substr(at + 1);
        body = body.substr(0, at);
        if (count == "*") {
            rule.count = -1;
        } else if (!ParseInt32(count, rule.count) || rule.count < 1) {
            error = "fault count must be a positive number or *";
            return false;
        }
    }
    size_t c1 = body.find(':');
    if (c1 == std::string::npos) {
        error = "fault must read KIND:PATH[:ARG][@COUNT]";
        return false;
    }
    if (!ParseKind(body.substr(0, c1), rule.kind)) {
        error = "fault kind must be status, delay, garbage or drop";
        return false;
    }
    std::string rest = body.substr(c1 + 1);
    size_t c2 = rest.find(':');
    rule.path = rest.substr(0, c2);
    std::string arg = c2 == std::string::npos ? std::string() : rest.substr(c2 + 1);
    if (rule.path.empty() || (rule.path != "*" && rule.path[0] != '/')) {
        error = "fault path must start with / or be *";
        return false;
    }
    if (rule.kind == FaultKind::Status) {
        if (!arg.empty() &&
            (!ParseInt32(arg, rule.status) || rule.status < 100 || rule.status > 599)) {
            error = "fault status must be 100 to 599";
            return false;
        }
    } else if (rule.kind == FaultKind::Delay) {
        if (!ParseInt32(arg, rule.delayMs) || rule.delayMs < 0 || rule.delayMs > 600000) {
            error = "fault delay must be 0 to 600000 ms";
            return false;
        }
    }
    return true;
}

}  // namespace quillserver
