// The comment records of a document: one map per page from unique name to record.
#pragma once
#include "sync/sync_names.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sync/nm_object.h"

namespace quill::sync {

class PageAnnotMap {
public:
    using PageMap = std::map<std::string, std::unique_ptr<CNMObject>>;  // byte order of the key

    explicit PageAnnotMap(int pageCount);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    bool ValidPage(int page) const { return page >= 0 && page < PageCount(); }
    // The map of a page; page must be valid.
    PageMap& Page(int page) { return pages_.at(static_cast<size_t>(page)); }
    const PageMap& Page(int page) const { return pages_.at(static_cast<size_t>(page)); }

    // Enters a record in the map of its page under its unique name (replacing one of the
    // same name). A reply is also listed in its parent's replies when the parent is on that
    // page. Returns the record, or nullptr when its page is out of range.
    CNMObject* Insert(std::unique_ptr<CNMObject> record);
    CNMObject* Find(int page, const std::string& uniqueName) const;
    // Removes a record; its replies lose their parent and it leaves its parent's list.
    void Erase(int page, const std::string& uniqueName);

private:
    void Unlink(CNMObject* record);

    std::vector<PageMap> pages_;
};

}  // namespace quill::sync
