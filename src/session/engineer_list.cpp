#include "session/engineer_list.h"
#include "session/session_names.h"

#include <algorithm>
#include <set>

#include "platform/code_page.h"
#include "sync/nm_object.h"

namespace quill::session {

namespace {

std::string WithoutDateSeparators(const std::string& date) {
    std::string out;
    for (char c : date)
        if (c != ':' && c != '-' && c != ' ') out += c;
    return out;
}

std::string OrderKey(const AuthorLine& line) {
    return (line.consolidationFinished ? "B" : "A") + line.dateDigits +
           std::to_string(line.annotIndex);
}

}  // namespace

std::vector<AuthorLine> CollectAuthors(CommentIndex& index, const ParticipantTable& participants) {
    std::vector<AuthorLine> authors;
    std::set<std::string> seen;
    for (auto& [name, entry] : index) {
        entry.author = platform::TrimMultiByte(entry.author);
        if (!seen.insert(entry.author).second) continue;
        AuthorLine line;
        line.author = entry.author;
        const Participant* participant = MatchAuthor(participants, entry.author);
        line.consolidationFinished = participant ? !participant->hasNewerComments : true;
        line.dateDigits = WithoutDateSeparators(entry.date);
        line.annotIndex = entry.record ? entry.record->annotIndex : entry.annotIndex;
        authors.push_back(std::move(line));
    }
    return authors;
}

std::vector<AuthorLine> OrderEngineerList(std::vector<AuthorLine> authors,
                                          EngineerIndex& engineers) {
    std::stable_sort(authors.begin(), authors.end(), [](const AuthorLine& a, const AuthorLine& b) {
        return OrderKey(a) < OrderKey(b);
    });
    for (const AuthorLine& line : authors)
        engineers[line.author].consolidationFinished = line.consolidationFinished;
    return authors;
}

bool StoreSummary(EngineerIndex& engineers, const std::vector<std::string>& selected,
                  const std::string& text) {
    const std::string summary = platform::TrimMultiByte(text);
    bool stored = false;
    for (const std::string& author : selected) {
        auto found = engineers.find(author);
        if (found == engineers.end() || found->second.consolidationFinished) continue;
        found->second.summary = summary;
        stored = true;
    }
    return stored;
}

}  // namespace quill::session
