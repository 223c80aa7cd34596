#include "viewer/engine/annot_store.h"

#include <algorithm>

namespace quill::engine {

void AnnotStore::Reset(int pageCount) {
    for (auto& page : pages_) {
        for (auto& r : page) Unregister(*r);
    }
    for (auto& r : orphans_) Unregister(*r);
    pages_.clear();
    orphans_.clear();
    byId_.clear();
    byName_.clear();
    pages_.resize(pageCount > 0 ? static_cast<size_t>(pageCount) : 0);
}

const PageAnnotList& AnnotStore::Page(int page) const {
    static const PageAnnotList kEmpty;
    if (page < 0 || page >= PageCount()) return kEmpty;
    return pages_[static_cast<size_t>(page)];
}

int AnnotStore::Count(int page) const { return static_cast<int>(Page(page).size()); }

AnnotRecord* AnnotStore::At(int page, int index) const {
    if (index < 0) return nullptr;
    return Page(page).At(static_cast<size_t>(index));
}

AnnotRecord* AnnotStore::Find(AnnotId id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

AnnotRecord* AnnotStore::FindByName(const std::string& name) const {
    if (name.empty()) return nullptr;
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

AnnotRecord* AnnotStore::TopLevelOf(const AnnotRecord* record) const {
    if (!record) return nullptr;
    const AnnotRecord* r = record;
    while (r->parent) r = r->parent;
    return const_cast<AnnotRecord*>(r);
}

int AnnotStore::IndexOf(const AnnotRecord* record) const {
    if (!record || record->parent) return -1;
    return Page(record->page).IndexOf(record);
}

void AnnotStore::SetPageRecursive(AnnotRecord& record, int page) {
    record.page = page;
    for (auto& r : record.replies) SetPageRecursive(*r, page);
}

void AnnotStore::Register(AnnotRecord& record) {
    if (record.id == 0) record.id = nextId_++;
    byId_[record.id] = &record;
    const std::string name = record.Name();
    if (!name.empty()) byName_[name] = &record;
    for (auto& r : record.replies) {
        r->parent = &record;
        Register(*r);
    }
}

void AnnotStore::Unregister(AnnotRecord& record) {
    for (auto& r : record.replies) Unregister(*r);
    byId_.erase(record.id);
    const std::string name = record.Name();
    auto it = byName_.find(name);
    if (it != byName_.end() && it->second == &record) byName_.erase(it);
}

AnnotId AnnotStore::Append(int page, std::unique_ptr<AnnotRecord> record) {
    if (!record || page < 0 || page >= PageCount()) return 0;
    record->parent = nullptr;
    SetPageRecursive(*record, page);
    AnnotRecord& r = *record;
    pages_[static_cast<size_t>(page)].PushBack(std::move(record));
    Register(r);
    AdoptOrphans(&r);
    return r.id;
}

AnnotId AnnotStore::AddReply(AnnotRecord* parent, std::unique_ptr<AnnotRecord> reply) {
    if (!parent || !reply) return 0;
    reply->parent = parent;
    SetPageRecursive(*reply, parent->page);
    AnnotRecord& r = *reply;
    parent->replies.push_back(std::move(reply));
    Register(r);
    AdoptOrphans(&r);
    return r.id;
}

std::unique_ptr<AnnotRecord> AnnotStore::Take(AnnotId id) {
    AnnotRecord* record = Find(id);
    if (!record) return nullptr;
    std::unique_ptr<AnnotRecord> taken;
    auto take_from = [&](std::vector<std::unique_ptr<AnnotRecord>>& v) {
        auto it =
            std::find_if(v.begin(), v.end(), [&](const auto& p) { return p.get() == record; });
        if (it == v.end()) return false;
        taken = std::move(*it);
        v.erase(it);
        return true;
    };
    if (record->parent) {
        take_from(record->parent->replies);
    } else if (record->page >= 0 && record->page < PageCount()) {
        taken = pages_[static_cast<size_t>(record->page)].Take(record);
    }
    if (!taken && !take_from(orphans_)) return nullptr;
    Unregister(*taken);
    taken->parent = nullptr;
    // Ids stay on the records; a record put back keeps them, handles stay valid then.
    return taken;
}

void AnnotStore::AddOrphan(std::unique_ptr<AnnotRecord> reply) {
    if (!reply) return;
    reply->parent = nullptr;
    AnnotRecord& r = *reply;
    orphans_.push_back(std::move(reply));
    Register(r);
}

void AnnotStore::AdoptOrphans(AnnotRecord* parent) {
    if (!parent || orphans_.empty()) return;
    const std::string name = parent->Name();
    if (name.empty()) return;
    std::vector<AnnotRecord*> adopted;
    for (size_t i = 0; i < orphans_.size();) {
        if (orphans_[i]->InReplyTo() == name && orphans_[i].get() != parent) {
            std::unique_ptr<AnnotRecord> r = std::move(orphans_[i]);
            orphans_.erase(orphans_.begin() + static_cast<long>(i));
            r->parent = parent;
            SetPageRecursive(*r, parent->page);
            adopted.push_back(r.get());
            parent->replies.push_back(std::move(r));
        } else {
            ++i;
        }
    }
    // Replies to the adopted replies may be waiting as well.
    for (AnnotRecord* r : adopted) AdoptOrphans(r);
}

}  // namespace quill::engine
