#include "platform/prompter.h"

#include <cstdio>
#include <cstdlib>

namespace quill::platform {
namespace {

class StderrPrompter : public Prompter {
public:
    PromptAnswer Show(PromptKind kind, const std::string& text, bool) override {
        std::fprintf(stderr, "[%s] %s: %s\n", kAppTitle, PromptKindName(kind), text.c_str());
        return kind == PromptKind::Question ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

std::mutex g_mutex;
std::unique_ptr<Prompter> g_prompter;

std::vector<PromptAnswer> ParseAnswerList(const std::string& list) {
    std::vector<PromptAnswer> answers;
    size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        size_t comma = list.find(',', start);
        std::string word =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        answers.push_back(ParseAnswer(word));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return answers;
}

}  // namespace

Prompter& Prompts() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_prompter) {
        g_prompter = PrompterFromEnvironment();
        if (!g_prompter) g_prompter = std::make_unique<StderrPrompter>();
    }
    return *g_prompter;
}

void InstallPrompter(std::unique_ptr<Prompter> prompter) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_prompter = std::move(prompter);
}

const char* PromptKindName(PromptKind kind) {
    switch (kind) {
        case PromptKind::Error:
            return "error";
        case PromptKind::Info:
            return "info";
        case PromptKind::Plain:
            return "plain";
        case PromptKind::Question:
            return "question";
    }
    return "plain";
}

PromptAnswer ParseAnswer(const std::string& word) {
    if (word == "yes") return PromptAnswer::Yes;
    if (word == "cancel") return PromptAnswer::Cancel;
    return PromptAnswer::No;
}

ScriptedPrompter::ScriptedPrompter(std::vector<PromptAnswer> answers)
    : answers_(std::move(answers)) {}

PromptAnswer ScriptedPrompter::Show(PromptKind kind, const std::string& text, bool) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({kind, text});
    if (kind != PromptKind::Question) return PromptAnswer::Ok;
    return next_ < answers_.size() ? answers_[next_++] : PromptAnswer::No;
}

std::vector<ScriptedPrompter::Entry> ScriptedPrompter::entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

LogFilePrompter::LogFilePrompter(std::string path, const std::string& answers)
    : path_(std::move(path)), answers_(ParseAnswerList(answers)) {}

PromptAnswer LogFilePrompter::Show(PromptKind kind, const std::string& text, bool) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string line = PromptKindName(kind);
    line += '\t';
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    line += '\n';
    if (FILE* f = std::fopen(path_.c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
    if (kind != PromptKind::Question) return PromptAnswer::Ok;
    return next_ < answers_.size() ? answers_[next_++] : PromptAnswer::No;
}

std::unique_ptr<Prompter> PrompterFromEnvironment() {
    const char* log = std::getenv("QUILLMARK_PROMPT_LOG");
    if (!log || !*log) return nullptr;
    const char* answers = std::getenv("QUILLMARK_PROMPT_ANSWERS");
    return std::make_unique<LogFilePrompter>(log, answers ? answers : "");
}

}  // namespace quill::platform
