#include "viewer/widget/page_words.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QMetaObject>
#include <algorithm>
#include <memory>

#include "viewer/widget/page_layout.h"

namespace quill::widget {

PageWords::PageWords(QObject* parent) : QObject(parent) {
    thread_ = std::thread([this] { Loop(); });
}

PageWords::~PageWords() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void PageWords::SetDocument(const QString& path, std::vector<engine::PageGeometry> pages) {
    std::lock_guard lock(mutex_);
    path_ = path;
    pages_ = std::move(pages);
    ++generation_;
    queue_.clear();
    done_.clear();
    asked_.clear();
}

const std::vector<engine::Quad>* PageWords::Words(int page) {
    auto it = done_.find(page);
    if (it != done_.end()) return &it->second;
    if (std::find(asked_.begin(), asked_.end(), page) == asked_.end()) {
        asked_.push_back(page);
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(page);
        }
        wake_.notify_all();
    }
    return nullptr;
}

void PageWords::Loop() {
    std::unique_ptr<Poppler::Document> doc;
    uint64_t docGeneration = 0;
    for (;;) {
        int page = -1;
        QString path;
        uint64_t gen = 0;
        engine::PageGeometry geometry;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            page = queue_.front();
            queue_.pop_front();
            path = path_;
            gen = generation_;
            if (page < 0 || page >= static_cast<int>(pages_.size())) continue;
            geometry = pages_[page];
        }
        if (!doc || docGeneration != gen) {
            doc = Poppler::Document::load(path);
            docGeneration = gen;
        }
        std::vector<engine::Quad> words;
        if (doc && page < doc->numPages()) {
            if (std::unique_ptr<Poppler::Page> p = doc->page(page)) {
                // Poppler answers in the shown page (its /Rotate applied, y down).
                const QTransform toPage =
                    PageLayout::PageToShown(geometry, geometry.rotate / 90).inverted();
                for (const auto& box : p->textList(Poppler::Page::Rotate0)) {
                    const QRectF r = box->boundingBox();
                    const QPointF tl = toPage.map(r.topLeft()), tr = toPage.map(r.topRight());
                    const QPointF bl = toPage.map(r.bottomLeft()), br = toPage.map(r.bottomRight());
                    words.push_back(engine::Quad{engine::PointF{tl.x(), tl.y()},
                                                 {tr.x(), tr.y()},
                                                 {bl.x(), bl.y()},
                                                 {br.x(), br.y()}});
                }
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, page, gen, words = std::move(words)]() mutable {
                {
                    std::lock_guard lock(mutex_);
                    if (gen != generation_) return;
                }
                done_[page] = std::move(words);
                emit Ready(page);
            },
            Qt::QueuedConnection);
    }
}

}  // namespace quill::widget
