// AnnotStore: the annotations of the open document, per page in index order, with their
// replies; finds any annotation or reply by its id or its unique name.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "viewer/engine/annot_record.h"
#include "viewer/engine/page_annot_list.h"

namespace quill::engine {

class AnnotStore {
public:
    void Reset(int pageCount);
    int PageCount() const { return static_cast<int>(pages_.size()); }

    const PageAnnotList& Page(int page) const;
    int Count(int page) const;
    AnnotRecord* At(int page, int index) const;
    AnnotRecord* Find(AnnotId id) const;
    // The latest annotation or reply that carries the name; nullptr when none.
    AnnotRecord* FindByName(const std::string& name) const;
    AnnotRecord* TopLevelOf(const AnnotRecord* record) const;
    // Index of a top-level annotation on its page; -1 when it is not one.
    int IndexOf(const AnnotRecord* record) const;

    // Appends a top-level annotation (with its replies) to the page; ids are given to the
    // record and every reply. Returns its id, 0 for an unknown page.
    AnnotId Append(int page, std::unique_ptr<AnnotRecord> record);
    // Appends a reply (with its own replies) to an annotation or reply.
    AnnotId AddReply(AnnotRecord* parent, std::unique_ptr<AnnotRecord> reply);
    // Takes an annotation or reply (with its replies) out of the store; nullptr when unknown.
    std::unique_ptr<AnnotRecord> Take(AnnotId id);

    // Replies whose parent is not (yet) in the store: kept, exported, and adopted as soon
    // as an annotation with the name they answer arrives.
    void AddOrphan(std::unique_ptr<AnnotRecord> reply);
    const std::vector<std::unique_ptr<AnnotRecord>>& Orphans() const { return orphans_; }
    void AdoptOrphans(AnnotRecord* parent);

    // Every annotation and reply changes page with its top-level annotation.
    static void SetPageRecursive(AnnotRecord& record, int page);

private:
    void Register(AnnotRecord& record);
    void Unregister(AnnotRecord& record);

    std::vector<PageAnnotList> pages_;
    std::vector<std::unique_ptr<AnnotRecord>> orphans_;
    std::unordered_map<AnnotId, AnnotRecord*> byId_;
    std::unordered_map<std::string, AnnotRecord*> byName_;
    AnnotId nextId_ = 1;
};

}  // namespace quill::engine
