#include "sync/page_annot_map.h"
#include "sync/sync_names.h"

#include <algorithm>

namespace quill::sync {

PageAnnotMap::PageAnnotMap(int pageCount) : pages_(static_cast<size_t>(std::max(pageCount, 0))) {}

CNMObject* PageAnnotMap::Find(int page, const std::string& uniqueName) const {
    if (!ValidPage(page)) return nullptr;
    const PageMap& map = Page(page);
    auto it = map.find(uniqueName);
    return it == map.end() ? nullptr : it->second.get();
}

void PageAnnotMap::Unlink(CNMObject* record) {
    if (record->parent) {
        auto& siblings = record->parent->replies;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), record), siblings.end());
        record->parent = nullptr;
    }
    for (CNMObject* reply : record->replies) reply->parent = nullptr;
    record->replies.clear();
}

CNMObject* PageAnnotMap::Insert(std::unique_ptr<CNMObject> record) {
    if (!record || !ValidPage(record->page)) return nullptr;
    PageMap& map = Page(record->page);
    CNMObject* raw = record.get();
    auto it = map.find(raw->uniqueName);
    std::vector<CNMObject*> keptReplies;
    if (it != map.end()) {
        keptReplies = it->second->replies;  // a replaced comment keeps its replies
        Unlink(it->second.get());
        it->second = std::move(record);
    } else {
        map.emplace(raw->uniqueName, std::move(record));
    }
    for (CNMObject* reply : keptReplies) {
        reply->parent = raw;
        raw->replies.push_back(reply);
    }
    if (!raw->inReplyTo.empty()) {
        if (CNMObject* parent = Find(raw->page, raw->inReplyTo); parent && parent != raw) {
            raw->parent = parent;
            parent->replies.push_back(raw);
        }
    }
    return raw;
}

void PageAnnotMap::Erase(int page, const std::string& uniqueName) {
    if (!ValidPage(page)) return;
    PageMap& map = Page(page);
    auto it = map.find(uniqueName);
    if (it == map.end()) return;
    Unlink(it->second.get());
    map.erase(it);
}

}  // namespace quill::sync
