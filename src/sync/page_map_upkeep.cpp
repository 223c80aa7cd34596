#include "sync/page_map_upkeep.h"
#include "sync/sync_names.h"

#include <vector>

namespace quill::sync {

namespace pagemaps {

CNMObject* Enter(PageAnnotMap& maps, std::unique_ptr<CNMObject> record) {
    return maps.Insert(std::move(record));
}

namespace {

// Names of the record's replies and theirs, deepest last, each once.
void CollectReplyNames(const CNMObject& record, std::vector<std::string>& names, int depth) {
    // A damaged chain (a reply that answers itself through others) must not loop forever.
    if (depth > 10000) return;
    for (const CNMObject* reply : record.replies) {
        names.push_back(reply->uniqueName);
        CollectReplyNames(*reply, names, depth + 1);
    }
}

}  // namespace

void Remove(PageAnnotMap& maps, int page, const std::string& uniqueName) {
    CNMObject* record = maps.Find(page, uniqueName);
    if (!record) return;
    std::vector<std::string> replies;
    CollectReplyNames(*record, replies, 0);
    for (auto it = replies.rbegin(); it != replies.rend(); ++it) {
        if (*it != uniqueName) maps.Erase(page, *it);
    }
    maps.Erase(page, uniqueName);
}

CNMObject* FindCommentAt(const PageAnnotMap& maps, int page, int index) {
    // -1 is the index of a comment the control does not hold: never a place to look up.
    if (index < 0 || !maps.ValidPage(page)) return nullptr;
    for (const auto& [name, record] : maps.Page(page)) {
        if (record->inReplyTo.empty() && record->annotIndex == index) return record.get();
    }
    return nullptr;
}

void LowerIndicesAbove(PageAnnotMap& maps, int page, int index) {
    if (!maps.ValidPage(page)) return;
    for (auto& [name, record] : maps.Page(page)) {
        if (record->annotIndex > index) --record->annotIndex;
    }
}

CNMObject* TopLevelOf(CNMObject* record) {
    for (int hops = 0; record && hops < 100000; ++hops) {
        if (record->inReplyTo.empty()) return record;
        record = record->parent;
    }
    return nullptr;
}

}  // namespace pagemaps

}  // namespace quill::sync
