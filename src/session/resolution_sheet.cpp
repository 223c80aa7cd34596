#include "session/resolution_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/code_page.h"

namespace quill::session {

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

std::string Utf8(const std::string& ansi) {
    return ansi.empty() ? std::string() : platform::AnsiToUtf8(ansi);
}

// A position as whole points; a position that is not a number reads as 0 so that a damaged
// annotation still gets a readable link.
long Points(double value) {
    if (!std::isfinite(value)) return 0;
    value = std::clamp(value, -1.0e9, 1.0e9);
    return std::lround(value);
}

std::string StatusText(int status) {
    if (status == app::kFeedbackApply) return "Apply";
    if (status == app::kFeedbackDoNotApply) return "Do Not Apply";
    return "";
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        if (!joined.empty()) joined += '\n';
        joined += line;
    }
    return joined;
}

}  // namespace

std::string SheetDisciplineOf(const std::string& author) {
    const size_t dash = author.find('-');
    return dash == std::string::npos ? std::string() : author.substr(dash + 1);
}

std::string DecisionText(const std::string& letter) {
    if (letter == "Y") return "Apply";
    if (letter == "N") return "Do Not Apply";
    if (letter == "C") return "Under SC";
    return "";
}

std::string FeedbackText(const review::CommentOutcome& outcome) {
    std::string text = outcome.feedback == "Y"   ? "Agree"
                       : outcome.feedback == "N" ? "Disagree"
                                                 : "";
    if (!outcome.feedbackText.empty()) {
        if (!text.empty()) text += ": ";
        text += outcome.feedbackText;
    }
    return text;
}

std::vector<SheetRow> CollectSheetRows(
    std::vector<SheetComment> comments, const std::map<std::string, std::string>& decisions,
    const std::map<std::string, review::CommentOutcome>& outcomes,
    const std::map<int, std::string>& pageLabels) {
    std::stable_sort(comments.begin(), comments.end(),
                     [](const SheetComment& a, const SheetComment& b) {
                         if (a.pageIndex != b.pageIndex) return a.pageIndex < b.pageIndex;
                         return a.order < b.order;
                     });
    std::vector<SheetRow> rows;
    rows.reserve(comments.size());
    for (const SheetComment& comment : comments) {
        SheetRow row;
        row.number = static_cast<int>(rows.size()) + 1;
        auto label = pageLabels.find(comment.pageIndex);
        row.pageLabel =
            label != pageLabels.end() ? label->second : std::to_string(comment.pageIndex + 1);
        // The author is split before conversion: in CP949 a "-" byte is never part of a
        // two-byte character, so the first one found is a real dash.
        row.author = Utf8(comment.author);
        row.discipline = Utf8(SheetDisciplineOf(comment.author));
        row.date = Utf8(comment.date);
        row.type = Utf8(comment.subject);
        row.contents = Utf8(comment.contents);
        for (const auto& [author, text] : comment.replies)
            row.replies.push_back(Utf8(author) + ": " + Utf8(text));
        auto outcome = outcomes.find(comment.name);
        const bool hasOutcome = outcome != outcomes.end();
        auto decision = decisions.find(comment.name);
        if (decision != decisions.end())
            row.decision = DecisionText(decision->second);
        else if (hasOutcome && !outcome->second.decision.empty())
            row.decision = DecisionText(outcome->second.decision);
        else
            row.decision = StatusText(comment.feedbackStatus);
        if (hasOutcome) {
            // The server's texts are UTF-8 already.
            row.decisionSummary = outcome->second.decisionSummary;
            row.feedback = FeedbackText(outcome->second);
        }
        row.annotId = comment.annotId;
        row.pageIndex = comment.pageIndex;
        row.x = comment.x;
        row.y = comment.y;
        row.link = "page " + row.pageLabel;
        if (comment.hasPosition)
            row.link += " (" + std::to_string(Points(comment.x)) + ", " +
                        std::to_string(Points(comment.y)) + ")";
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SheetComment> SheetCommentsFromIndex(const app::CommentIndex& index) {
    std::vector<SheetComment> comments;
    comments.reserve(index.size());
    for (const auto& [name, entry] : index) {
        SheetComment comment;
        comment.name = name;
        comment.pageIndex = entry.pageIndex;
        comment.order = entry.listPosition;
        comment.author = entry.author;
        comment.date = entry.date;
        comment.subject = entry.subject;
        comment.contents = entry.contents;
        comment.feedbackStatus = entry.feedbackStatus;
        comments.push_back(std::move(comment));
    }
    return comments;
}

const std::vector<std::string>& SheetHeadings() {
    static const std::vector<std::string> headings = {
        "No.",     "Page",    "Discipline", "Author",           "Date",     "Type",
        "Comment", "Replies", "Decision",   "Decision summary", "Feedback", "Link"};
    return headings;
}

std::vector<std::string> SheetCells(const SheetRow& row) {
    return {std::to_string(row.number),
            row.pageLabel,
            row.discipline,
            row.author,
            row.date,
            row.type,
            row.contents,
            JoinLines(row.replies),
            row.decision,
            row.decisionSummary,
            row.feedback,
            row.link};
}

std::string CsvField(const std::string& text) {
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' ' ||
                                                text.front() == '\t' || text.back() == '\t'));
    if (!needsQuotes) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

void WriteSheetCsv(const std::vector<SheetRow>& rows, std::ostream& out) {
    auto writeRecord = [&out](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out << ',';
            out << CsvField(cells[i]);
        }
        out << "\r\n";
    };
    out << kBom;
    writeRecord(SheetHeadings());
    for (const SheetRow& row : rows) writeRecord(SheetCells(row));
}

std::string SheetCsv(const std::vector<SheetRow>& rows) {
    std::ostringstream out;
    WriteSheetCsv(rows, out);
    return out.str();
}

bool SaveSheetCsv(const std::string& path, const std::vector<SheetRow>& rows, std::string* error) {
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(path);
    fs::path temporary = target;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) WriteSheetCsv(rows, out);
        out.flush();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            if (error) *error = "Cannot write " + path;
            return false;
        }
    }
    std::error_code failed;
    fs::rename(temporary, target, failed);
    if (failed) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        if (error) *error = "Cannot write " + path + ": " + failed.message();
        return false;
    }
    return true;
}

}  // namespace quill::session
