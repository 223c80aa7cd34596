// SourceDocument: the opened review PDF as poppler reads it: pages, their boxes and
// rotation, and the words of their text.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <string>
#include <vector>

#include "viewer/engine/page_geometry.h"

namespace quill::engine {

enum class OpenResult { Ok, CannotOpen, Encrypted, Damaged };

class SourceDocument {
public:
    // nullptr with the reason for a missing, damaged or (without the right password)
    // encrypted file.
    static std::unique_ptr<SourceDocument> Open(const std::string& path, const char* password,
                                                OpenResult* result);
    ~SourceDocument();
    SourceDocument(const SourceDocument&) = delete;
    SourceDocument& operator=(const SourceDocument&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Password() const { return password_; }
    int PageCount() const;
    PageGeometry Geometry(int page) const;  // empty for an unknown page
    // Boxes of the words (in page space) that lie at least half inside the area.
    std::vector<Quad> WordQuadsIn(int page, const RectF& area) const;

private:
    SourceDocument() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
    std::string password_;
    std::vector<PageGeometry> pages_;
};

}  // namespace quill::engine
