// Message boxes: one interface, so that logic that asks the user can run headless.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quill::platform {

enum class PromptKind { Error, Info, Plain, Question };
enum class PromptAnswer { Ok, Yes, No, Cancel };

inline constexpr const char* kAppTitle = "PDF Lumaro";

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text with the caption "PDF Lumaro". Question asks Yes/No, or Yes/No/Cancel
    // when withCancel is set; the other kinds answer Ok.
    virtual PromptAnswer Show(PromptKind kind, const std::string& text,
                              bool withCancel = false) = 0;

    void Error(const std::string& text) { Show(PromptKind::Error, text); }
    void Info(const std::string& text) { Show(PromptKind::Info, text); }
    void Plain(const std::string& text) { Show(PromptKind::Plain, text); }
    PromptAnswer YesNo(const std::string& text) { return Show(PromptKind::Question, text, false); }
    PromptAnswer YesNoCancel(const std::string& text) {
        return Show(PromptKind::Question, text, true);
    }
};

// The process-wide prompter. Until one is installed, prompts go to standard error
// (questions answer No), unless QUILLMARK_PROMPT_LOG names a log file.
Prompter& Prompts();
void InstallPrompter(std::unique_ptr<Prompter> prompter);

const char* PromptKindName(PromptKind kind);        // "error", "info", "plain", "question"
PromptAnswer ParseAnswer(const std::string& word);  // "yes", "no", "cancel"; anything else No

// For tests: records every prompt and answers questions from a list (No when used up).
class ScriptedPrompter : public Prompter {
public:
    struct Entry {
        PromptKind kind;
        std::string text;
    };
    explicit ScriptedPrompter(std::vector<PromptAnswer> answers = {});
    PromptAnswer Show(PromptKind kind, const std::string& text, bool withCancel) override;
    std::vector<Entry> entries() const;

private:
    mutable std::mutex mutex_;
    std::vector<PromptAnswer> answers_;
    size_t next_ = 0;
    std::vector<Entry> entries_;
};

// For automated runs: appends "<kind>\t<text>" lines to a file (a line feed in the text
// as "\n"), answering questions from a comma-separated list.
class LogFilePrompter : public Prompter {
public:
    LogFilePrompter(std::string path, const std::string& answers);
    PromptAnswer Show(PromptKind kind, const std::string& text, bool withCancel) override;

private:
    std::mutex mutex_;
    std::string path_;
    std::vector<PromptAnswer> answers_;
    size_t next_ = 0;
};

// LogFilePrompter when QUILLMARK_PROMPT_LOG is set, else nullptr.
std::unique_ptr<Prompter> PrompterFromEnvironment();

}  // namespace quill::platform
