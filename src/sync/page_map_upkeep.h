// Keeping the page maps of the comment records in step: entering, removing and finding
// records, and lowering annotation indices behind a removed comment.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>

#include "sync/page_annot_map.h"

namespace quill::sync {

namespace pagemaps {

// Enters a record in the map of its page; a reply whose in-reply-to name names an entry of
// the same page is linked to it. Returns the record, or nullptr for a page out of range.
// Replies that came before the entry they answer are linked by WaitingReplies.
CNMObject* Enter(PageAnnotMap& maps, std::unique_ptr<CNMObject> record);

// Removes an entry: its replies (and theirs) first, then it leaves its parent's replies and
// the map. Nothing happens for an unknown name.
void Remove(PageAnnotMap& maps, int page, const std::string& uniqueName);

// The first comment (in name order) of the page whose in-reply-to name is empty and whose
// annotation index is index; nullptr when there is none, the index is negative (a comment
// the control does not hold) or the page is out of range.
CNMObject* FindCommentAt(const PageAnnotMap& maps, int page, int index);

// Every entry of the page with an annotation index greater than index has it lowered by 1.
void LowerIndicesAbove(PageAnnotMap& maps, int page, int index);

// The comment a reply belongs to: up through the parents to the entry with an empty
// in-reply-to name (the record itself for a comment); nullptr when the chain breaks off.
CNMObject* TopLevelOf(CNMObject* record);

}  // namespace pagemaps

}  // namespace quill::sync
