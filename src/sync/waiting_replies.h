// Replies that arrived before the comment or reply they answer, linked once it comes.
#pragma once
#include "sync/sync_names.h"

#include <map>
#include <string>

#include "sync/page_annot_map.h"

namespace quill::sync {

// For one merge. A reply whose parent is not on its page yet stays in the page map without
// a parent; when its parent is entered (created, or replaced by an update), Adopt links it,
// so that the parent is shown with it and keeps it through later updates. A page is scanned
// once, when first touched; the waiting replies are kept by name, so records destroyed in
// between are never touched.
class WaitingReplies {
public:
    explicit WaitingReplies(PageAnnotMap& maps) : maps_(maps) {}

    // A reply just entered: it waits when it found no parent.
    void Note(const CNMObject& reply);
    // Links every waiting reply of the record's page that answers it.
    void Adopt(CNMObject& record);

private:
    using ByParent = std::multimap<std::string, std::string>;  // parent name -> reply name
    ByParent& Touch(int page);

    PageAnnotMap& maps_;
    std::map<int, ByParent> pages_;
};

}  // namespace quill::sync
