#include "session/comment_list_model.h"
#include "session/session_names.h"

#include <algorithm>
#include <utility>

#include "app/logs.h"
#include "platform/code_page.h"
#include "sync/nm_object.h"

namespace quill::session {

std::string DateDigits(const std::string& date) {
    std::string digits;
    digits.reserve(date.size());
    for (const char c : date) {
        if (c != ':' && c != '-' && c != ' ') digits += c;
    }
    return digits;
}

std::string CommentSortKey(const CommentEntry& entry, int sortOrder) {
    const int page = entry.record ? entry.record->page : entry.pageIndex;
    const int annot = entry.record ? entry.record->annotIndex : entry.annotIndex;
    const size_t dash = entry.author.find('-');
    std::string key;
    key.reserve(entry.author.size() + 40);
    switch (sortOrder) {
        case kSortEngineer:
            if (dash != std::string::npos) key.append(entry.author, 0, dash);
            key += '_';
            break;
        case kSortDiscipline:
            if (dash == std::string::npos)
                key += entry.author;
            else
                key.append(entry.author, dash + 1, std::string::npos);
            key += '_';
            break;
        case kSortReviewStatus:
            // From the entry itself: a card of an earlier list may be gone.
            key += FeedbackStatusText(entry.feedbackStatus);
            key += '_';
            break;
        default:
            break;
    }
    for (const char c : entry.date) {
        if (c != ':' && c != '-' && c != ' ') key += c;
    }
    if (sortOrder == kSortDate) key += '_';
    key += std::to_string(page);
    key += std::to_string(annot);
    return key;
}

bool ContainsOnCharacter(const std::string& text, const std::string& needle) {
    if (needle.empty()) return true;
    size_t boundary = 0;  // a character of the text starts here
    for (size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + 1)) {
        // Walk the characters up to the match: a single byte is a whole character, so only
        // text beyond ASCII asks the code page.
        while (boundary < pos) {
            boundary += static_cast<unsigned char>(text[boundary]) < 0x80
                            ? 1
                            : platform::CharLength(text, boundary);
        }
        if (boundary == pos) return true;
    }
    return false;
}

namespace {
// text lower-cased as LowerMultiByte does, into out's storage: a keystroke lower-cases
// every comment, and a fresh string for each is most of its cost.
void LowerInto(const std::string& text, std::string& out) {
    out.assign(text);
    for (size_t i = 0; i < out.size();) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (byte >= 0x80) {
            i += platform::CharLength(out, i);
            continue;
        }
        if (byte >= 'A' && byte <= 'Z') out[i] = static_cast<char>(byte + 32);
        ++i;
    }
}
}  // namespace

bool CommentPassesFilter(const CommentEntry& entry, const std::string& lowerFilter) {
    if (lowerFilter.empty()) return true;
    thread_local std::string lowered;
    LowerInto(entry.author, lowered);
    if (ContainsOnCharacter(lowered, lowerFilter)) return true;
    LowerInto(entry.contents, lowered);
    return ContainsOnCharacter(lowered, lowerFilter);
}

int CommentTypeCode(const std::string& subject, const AnnotSubjectTable& subjects) {
    const auto found = subjects.find(platform::LowerMultiByte(subject));
    return found == subjects.end() ? 0 : found->second;
}

CommentListModel::~CommentListModel() { Clear(); }

void CommentListModel::Clear() {
    // Every entry forgets its card, also those the last list did not show: none survives.
    if (index_) {
        for (auto& [name, entry] : *index_) entry.card = nullptr;
    }
    cards_.clear();
}

void CommentListModel::Refill(CommentIndex& index, int sortOrder, const std::string& filter,
                              const AnnotSubjectTable& subjects) {
    Clear();
    index_ = &index;
    for (auto& [name, entry] : index) entry.card = nullptr;

    const std::string lowerFilter = platform::LowerMultiByte(filter);
    // Key and name: equal keys of distinct comments both stay, in the order of their names.
    std::vector<std::pair<std::string, CommentIndex::iterator>> rows;
    rows.reserve(index.size());
    for (auto it = index.begin(); it != index.end(); ++it) {
        if (!it->second.record) {
            WriteLog("RefillCommentList", "No record for comment " + it->first);
            continue;
        }
        if (!CommentPassesFilter(it->second, lowerFilter)) continue;
        rows.emplace_back(CommentSortKey(it->second, sortOrder), it);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second->first < b.second->first;
    });

    cards_.reserve(rows.size());
    for (auto& [key, it] : rows) {
        CommentEntry& entry = it->second;
        const int position = static_cast<int>(cards_.size());
        // Capacity was reserved for every row: the entries' pointers stay valid.
        CommentCard* card = &cards_.emplace_back();
        const int code = CommentTypeCode(entry.subject, subjects);
        if (code >= 0 && code <= 16) card->typeCode = code;
        card->author = entry.author;
        card->date = entry.date;
        card->replyCount = entry.replyCount;
        card->SetContents(entry.contents);
        card->listPosition = position;
        card->name = it->first;
        card->pageIndex = entry.pageIndex;
        card->statusText = FeedbackStatusText(entry.feedbackStatus);
        entry.annotIndex = entry.record->annotIndex;
        entry.pageIndex = entry.record->page;
        entry.listPosition = position;
        entry.card = card;
    }
}

int CommentListModel::RowOf(const std::string& name) const {
    if (index_) {
        const auto it = index_->find(name);
        if (it == index_->end() || !it->second.card) return -1;
        const int row = it->second.card->listPosition;
        if (row >= 0 && row < Count() && cards_[static_cast<size_t>(row)].name == name) return row;
    }
    for (int row = 0; row < Count(); ++row) {
        if (cards_[static_cast<size_t>(row)].name == name) return row;
    }
    return -1;
}

int CommentListModel::FeedbackStatusOf(int row) const {
    if (!index_ || row < 0 || row >= Count()) return -1;
    const auto it = index_->find(cards_[static_cast<size_t>(row)].name);
    return it == index_->end() ? -1 : it->second.feedbackStatus;
}

int CommentListModel::SetStatusText(const std::string& name, const std::string& label) {
    const int row = RowOf(name);
    if (row >= 0) cards_[static_cast<size_t>(row)].statusText = label;
    return row;
}

std::vector<int> CommentListModel::Select(int page, const std::string& name, bool multiSelect,
                                          bool keep) {
    std::vector<int> changed;
    for (int row = 0; row < Count(); ++row) {
        CommentCard& card = cards_[static_cast<size_t>(row)];
        const bool before = card.selected;
        if (card.name != name) {
            if (!multiSelect && !keep) card.selected = false;
        } else if (multiSelect) {
            card.selected = !card.selected;
        } else {
            card.selected = true;
        }
        if (card.selected != before) changed.push_back(row);
    }
    currentPage_ = page;
    currentName_ = name;
    return changed;
}

std::vector<std::string> CommentListModel::SelectedNames() const {
    std::vector<std::string> names;
    for (const CommentCard& card : cards_) {
        if (card.selected) names.push_back(card.name);
    }
    return names;
}

int CommentListModel::SelectedCount() const {
    return static_cast<int>(std::count_if(cards_.begin(), cards_.end(),
                                          [](const CommentCard& card) { return card.selected; }));
}

}  // namespace quill::session
