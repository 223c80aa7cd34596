#include "viewer/widget/text_search.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QMetaObject>

#include "viewer/widget/page_layout.h"

namespace quill::widget {

TextSearch::TextSearch(QObject* parent) : QObject(parent) {}

TextSearch::~TextSearch() { Stop(); }

void TextSearch::Stop() {
    ++generation_;
    if (cancel_) *cancel_ = true;
    if (thread_.joinable()) thread_.join();
    cancel_.reset();
    running_ = false;
}

void TextSearch::Start(const QString& pdfPath, const std::vector<engine::PageGeometry>& pages,
                       const QString& text, bool matchCase) {
    Stop();
    if (text.isEmpty() || pdfPath.isEmpty()) {
        emit Finished();
        return;
    }
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    running_ = true;
    auto cancel = cancel_;
    const uint64_t gen = ++generation_;
    thread_ = std::thread([this, cancel, gen, pdfPath, pages, text, matchCase] {
        std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(pdfPath);
        const int n = doc ? std::min<int>(doc->numPages(), static_cast<int>(pages.size())) : 0;
        for (int i = 0; i < n && !*cancel; ++i) {
            std::unique_ptr<Poppler::Page> page = doc->page(i);
            if (!page) continue;
            const Poppler::Page::SearchFlags flags =
                matchCase ? Poppler::Page::SearchFlags() : Poppler::Page::IgnoreCase;
            const QList<QRectF> found = page->search(text, flags, Poppler::Page::Rotate0);
            if (found.isEmpty()) continue;
            // Poppler answers in the shown page (its /Rotate applied, y down).
            const QTransform toPage =
                PageLayout::PageToShown(pages[i], pages[i].rotate / 90).inverted();
            QList<QRectF> hits;
            for (const QRectF& r : found) {
                const QRectF p = toPage.mapRect(r);
                hits << QRectF(QPointF(p.left(), p.top()), QPointF(p.right(), p.bottom()));
            }
            QMetaObject::invokeMethod(
                this,
                [this, gen, i, hits] {
                    if (gen == generation_) emit PageHits(i, hits);
                },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this, gen] {
                if (gen == generation_) {
                    running_ = false;
                    emit Finished();
                }
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quill::widget
