#include "viewer/engine/source_document.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <TextOutputDev.h>
#include <goo/GooString.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quill::engine {
namespace {

void QuietErrors(ErrorCategory, Goffset, const char*) {}

RectF ToRect(const PDFRectangle* r) {
    if (!r) return {};
    return RectF{r->x1, r->y1, r->x2, r->y2}.Normalized();
}

// Page space from the device space of a page drawn at 72 dpi with its own rotation.
PointF FromDevice(const PageGeometry& g, double dx, double dy) {
    const RectF& c = g.cropBox;
    switch (g.rotate) {
        case 90:
            return {c.x1 + dy, c.y1 + dx};
        case 180:
            return {c.x2 - dx, c.y1 + dy};
        case 270:
            return {c.x2 - dy, c.y2 - dx};
        default:
            return {c.x1 + dx, c.y2 - dy};
    }
}

}  // namespace

struct SourceDocument::Impl {
    // The global parameters live as long as the document; poppler counts the initers.
    GlobalParamsIniter params{QuietErrors};
    std::unique_ptr<PDFDoc> doc;
};

std::unique_ptr<SourceDocument> SourceDocument::Open(const std::string& path, const char* password,
                                                     OpenResult* result) {
    std::unique_ptr<SourceDocument> d(new SourceDocument());
    d->impl_ = std::make_unique<Impl>();
    std::optional<GooString> pw;
    if (password && *password) pw = GooString(password);
    d->impl_->doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path), pw, pw);
    PDFDoc& doc = *d->impl_->doc;
    if (!doc.isOk()) {
        const int code = doc.getErrorCode();
        if (result) {
            *result = code == errEncrypted  ? OpenResult::Encrypted
                      : code == errOpenFile ? OpenResult::CannotOpen
                                            : OpenResult::Damaged;
        }
        return nullptr;
    }
    const int n = doc.getNumPages();
    if (n <= 0) {
        if (result) *result = OpenResult::Damaged;
        return nullptr;
    }
    d->pages_.reserve(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) {
        PageGeometry g;
        if (Page* page = doc.getPage(i)) {
            g.mediaBox = ToRect(page->getMediaBox());
            g.cropBox = ToRect(page->getCropBox());
            const int r = page->getRotate();
            g.rotate = ((r % 360) + 360) % 360;
            if (g.rotate % 90 != 0) g.rotate = 0;
        }
        d->pages_.push_back(g);
    }
    d->path_ = path;
    d->password_ = password ? password : "";
    if (result) *result = OpenResult::Ok;
    return d;
}

SourceDocument::~SourceDocument() {
    // The document goes before the global parameters it uses.
    if (impl_) impl_->doc.reset();
}

int SourceDocument::PageCount() const { return static_cast<int>(pages_.size()); }

PageGeometry SourceDocument::Geometry(int page) const {
    if (page < 0 || page >= PageCount()) return {};
    return pages_[static_cast<size_t>(page)];
}

std::vector<Quad> SourceDocument::WordQuadsIn(int page, const RectF& areaIn) const {
    std::vector<Quad> quads;
    if (page < 0 || page >= PageCount()) return quads;
    const RectF area = areaIn.Normalized();
    const PageGeometry& g = pages_[static_cast<size_t>(page)];
    TextOutputDev dev(nullptr, false, 0, false, false);
    if (!dev.isOk()) return quads;
    impl_->doc->displayPage(&dev, page + 1, 72, 72, 0, false, false, false);
    std::unique_ptr<TextWordList> words = dev.makeWordList();
    if (!words) return quads;
    for (int i = 0; i < words->getLength(); ++i) {
        TextWord* w = words->get(i);
        double x1, y1, x2, y2;
        w->getBBox(&x1, &y1, &x2, &y2);
        const Quad q{FromDevice(g, x1, y1), FromDevice(g, x2, y1), FromDevice(g, x1, y2),
                     FromDevice(g, x2, y2)};
        const RectF b = BoundsOf({q.begin(), q.end()});
        const double ix = std::min(b.x2, area.x2) - std::max(b.x1, area.x1);
        const double iy = std::min(b.y2, area.y2) - std::max(b.y1, area.y1);
        if (ix <= 0 || iy <= 0) continue;
        if (ix * iy * 2 < b.Width() * b.Height()) continue;
        quads.push_back(q);
    }
    return quads;
}

}  // namespace quill::engine
