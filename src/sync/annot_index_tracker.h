// The annotation indices of one merge: the order of the comments on each page as the
// viewer control holds it, so that taking a comment out lowers every index behind it in
// logarithmic time instead of a walk over the page.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "sync/page_annot_map.h"

namespace quill::sync {

// A page's annotations are slots in control order; a slot is live while an annotation
// holds it. A comment's index is the count of live slots before its own. Slots that no
// record holds stand for annotations of the document that the client keeps no record of,
// so the indices of the records stay those of the control. Removals keep the order of the
// rest; an annotation added to the control takes a new slot at the end.
//
// Records of a page are read when the page is first touched; Flush writes the indices back
// into the records. Between the two, the records' own annotIndex fields are only set for
// the record being handed to a callback.
class AnnotIndexTracker {
public:
    explicit AnnotIndexTracker(PageAnnotMap& maps)
        : maps_(maps), pages_(static_cast<size_t>(maps.PageCount()) + 1) {}

    // The current index of a tracked comment; -1 when it holds no slot.
    int IndexOf(int page, const CNMObject* record);
    // Frees the comment's slot (when no other record shares it): the indices behind it drop
    // by 1. The record is forgotten; it may be destroyed afterwards.
    void Remove(int page, const CNMObject* record);
    // Forgets a record without touching the indices (a record replaced by another that
    // takes over its slot).
    void Replace(int page, const CNMObject* oldRecord, const CNMObject* newRecord);
    // Enters a record at the index it carries now (set by a callback): a new slot at the
    // end for the index one past the last, the slot of an existing index otherwise; -1 or
    // a page out of range enters nothing.
    void Enter(int page, const CNMObject* record);
    // Writes the current indices into every tracked record.
    void Flush();

private:
    struct Page {
        std::vector<int> tree;                         // Fenwick tree of live slots, 1-based
        std::vector<std::vector<CNMObject*>> holders;  // records of each slot
        std::vector<char> live;
        std::unordered_map<const CNMObject*, int> slotOf;
        int liveCount = 0;
        int capacity = 0;  // slots the tree covers

        int Size() const { return static_cast<int>(live.size()); }
        void Add(int slot, int delta);
        int Before(int slot) const;      // live slots before slot
        int SlotAtRank(int rank) const;  // the live slot with rank live slots before it
        int Append(bool isLive);
        void Rebuild(int newCapacity);
    };

    Page& Touch(int page);

    PageAnnotMap& maps_;
    // One per page of the maps, made when first touched; the last one stands for any page
    // out of range.
    std::vector<std::unique_ptr<Page>> pages_;
};

}  // namespace quill::sync
