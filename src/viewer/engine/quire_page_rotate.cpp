#include "viewer/engine/quire_page_rotate.h"

#include <Catalog.h>
#include <ErrorCodes.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <goo/GooString.h>

#include <memory>
#include <optional>

namespace quill::engine {

namespace {
// A damaged file is answered by the result code; poppler's own complaints stay quiet.
void Quiet(ErrorCategory, Goffset, const char*) {}
}  // namespace

int QuireGetPageRotate(const std::string& path, std::vector<QuirePageBox>& pages) {
    pages.clear();
    GlobalParamsIniter params{Quiet};
    std::unique_ptr<PDFDoc> doc = std::make_unique<PDFDoc>(
        std::make_unique<GooString>(path), std::optional<GooString>{}, std::optional<GooString>{});
    if (!doc) return kQuireNoDocument;
    if (!doc->isOk()) {
        switch (doc->getErrorCode()) {
            case errOpenFile:
                return kQuireCannotOpen;
            case errEncrypted:
                return kQuireEncrypted;
            default:
                return kQuireNoDocument;
        }
    }
    Catalog* catalog = doc->getCatalog();
    if (!catalog || !catalog->isOk()) return kQuireNoDocument;
    const int count = doc->getNumPages();
    std::vector<QuirePageBox> read;
    read.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 1; i <= count; ++i) {
        Page* page = catalog->getPage(i);
        if (!page) return kQuireNoDocument;
        const PDFRectangle* box = page->getCropBox();
        QuirePageBox entry;
        if (box) {
            entry.x1 = box->x1;
            entry.y1 = box->y1;
            entry.x2 = box->x2;
            entry.y2 = box->y2;
        }
        entry.rotate = page->getRotate();
        read.push_back(entry);
    }
    pages = std::move(read);
    return kQuireOk;
}

}  // namespace quill::engine
