#include "sync/fdf/comment_fdf.h"
#include "sync/sync_names.h"

#include <memory>

#include "sync/fdf/fdf_builders.h"
#include "sync/fdf/fdf_writer.h"
#include "sync/fdf/temp_fdf_file.h"

namespace quill::sync {

namespace {

void Collect(const CNMObject& record, std::vector<const CNMObject*>& out, size_t limit) {
    // A damaged reply chain (one that leads back to itself) must not loop forever.
    if (out.size() >= limit) return;
    out.push_back(&record);
    for (const CNMObject* reply : record.replies) Collect(*reply, out, limit);
}

}  // namespace

std::vector<const CNMObject*> CollectCommentObjects(const CNMObject& record) {
    std::vector<const CNMObject*> out;
    Collect(record, out, 100000);
    return out;
}

void WriteCommentFdf(const std::string& path, const CNMObject& record) {
    std::vector<std::unique_ptr<CFDFContent>> owned;
    std::vector<CFDFContent*> objects;
    for (const CNMObject* r : CollectCommentObjects(record)) {
        if (!r->content || !r->content->content) continue;
        owned.push_back(CreateFDFContent(*r));
        objects.push_back(owned.back().get());
    }
    fdf::_restoreFDFContents(path, objects);
}

std::string WriteCommentToTempFdf(const std::string& folder, const CNMObject& record) {
    TempFdfFile file(NewTempFdfPath(folder));
    WriteCommentFdf(file.path(), record);
    return file.Release();
}

}  // namespace quill::sync
