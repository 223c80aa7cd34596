// The comment list without its widgets: which comments it shows in which order under the
// search text, the cards it holds for them, and which are selected.
#pragma once
#include "session/session_names.h"

#include <string>
#include <vector>

#include "app/annot_subject_table.h"
#include "app/comment_index.h"
#include "session/comment_list_card.h"

namespace quill::session {

// The orders of the sort menu.
enum CommentSortOrder : int {
    kSortEngineer = 0,
    kSortDate = 1,
    kSortDiscipline = 2,
    kSortReviewStatus = 3,
};

// The date text with every ":", "-" and blank removed.
std::string DateDigits(const std::string& date);

// The sort key of an entry that has a record. Keys of distinct comments may be equal (the
// page and index are glued without a separator): the list orders those by name.
std::string CommentSortKey(const CommentEntry& entry, int sortOrder);

// lowerFilter must be lower-cased already (LowerMultiByte). True when it is empty, or the
// lower-cased author or contents hold it starting on a character of the system code page:
// a match that would begin inside a double-byte character does not count.
bool CommentPassesFilter(const CommentEntry& entry, const std::string& lowerFilter);

// text holds needle starting at a character boundary of the system code page.
bool ContainsOnCharacter(const std::string& text, const std::string& needle);

// The type code of a subject: lower-cased and looked up in the table; 0 (cloud) when absent.
int CommentTypeCode(const std::string& subject, const AnnotSubjectTable& subjects);

class CommentListModel {
public:
    CommentListModel() = default;
    ~CommentListModel();
    CommentListModel(const CommentListModel&) = delete;
    CommentListModel& operator=(const CommentListModel&) = delete;

    // Empties the list and fills it again from index in sortOrder under filter (as typed; it
    // is lower-cased here). Every entry's card is cleared first; each listed entry gets its
    // new card, list position, page and annotation index written back. An entry without a
    // record is skipped and logged. New cards start unselected.
    void Refill(CommentIndex& index, int sortOrder, const std::string& filter,
                const AnnotSubjectTable& subjects);
    // Drops every card, clearing the cards of the index's entries.
    void Clear();

    int Count() const { return static_cast<int>(cards_.size()); }
    const CommentCard& Card(int row) const { return cards_[static_cast<size_t>(row)]; }
    CommentCard& Card(int row) { return cards_[static_cast<size_t>(row)]; }
    // The row of the card of that name; -1 when it has none.
    int RowOf(const std::string& name) const;
    // The feedback status the entry of the card at row holds now (-1 when it is gone), which
    // picks the card's background.
    int FeedbackStatusOf(int row) const;

    // The card of name shows label as its status text; its row, or -1 when it has no card.
    int SetStatusText(const std::string& name, const std::string& label);

    // A card of (page, name) was clicked: the others are unselected unless multiSelect or
    // keep is set; that one is selected, or toggled under multiSelect. (page, name) becomes
    // the current comment. Returns the rows whose selection changed.
    std::vector<int> Select(int page, const std::string& name, bool multiSelect, bool keep);
    // The names of the selected cards, in list order.
    std::vector<std::string> SelectedNames() const;
    int SelectedCount() const;

    const std::string& CurrentName() const { return currentName_; }
    int CurrentPage() const { return currentPage_; }
    void ClearCurrentName() { currentName_.clear(); }

private:
    CommentIndex* index_ = nullptr;
    std::vector<CommentCard> cards_;
    std::string currentName_;
    int currentPage_ = 0;
};

}  // namespace quill::session
