#include "viewer/widget/tile_renderer.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QHashFunctions>
#include <QMetaObject>
#include <algorithm>

namespace quill::widget {

size_t qHash(const TileKey& k, size_t seed) {
    return ::qHashMulti(seed, k.page, k.zoomKey, k.rotation, k.col, k.row);
}

struct TileRenderer::Job {
    TileRequest req;
    uint64_t docGeneration = 0;
    std::atomic<bool> abort{false};
};

struct TileRenderer::Worker {
    std::thread thread;
    std::unique_ptr<Poppler::Document> doc;
    uint64_t docGeneration = 0;
};

namespace {

bool ShouldAbort(const QVariant& payload) {
    auto* flag = reinterpret_cast<std::atomic<bool>*>(payload.value<quintptr>());
    return flag && flag->load(std::memory_order_relaxed);
}

Poppler::Page::Rotation PopplerRotation(int quarterTurns) {
    switch (quarterTurns & 3) {
        case 1:
            return Poppler::Page::Rotate90;
        case 2:
            return Poppler::Page::Rotate180;
        case 3:
            return Poppler::Page::Rotate270;
        default:
            return Poppler::Page::Rotate0;
    }
}

}  // namespace

TileRenderer::TileRenderer(QObject* parent) : QObject(parent) {
    qRegisterMetaType<TileKey>();
    const int n = WorkerCount();
    for (int i = 0; i < n; ++i) {
        workers_.push_back(std::make_unique<Worker>());
    }
    for (auto& w : workers_) {
        Worker* raw = w.get();
        w->thread = std::thread([this, raw] { WorkerLoop(raw); });
    }
}

TileRenderer::~TileRenderer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
        for (auto& j : running_) j->abort = true;
    }
    wake_.notify_all();
    for (auto& w : workers_) {
        if (w->thread.joinable()) w->thread.join();
    }
}

int TileRenderer::WorkerCount() {
    const unsigned hc = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(hc == 0 ? 2u : hc, 2u, 4u));
}

void TileRenderer::SetDocument(const QString& path) {
    {
        std::lock_guard lock(mutex_);
        path_ = path;
        guiGeneration_ = ++docGeneration_;
        queue_.clear();
        for (auto& j : running_) j->abort = true;
    }
    wake_.notify_all();
}

void TileRenderer::Request(std::vector<TileRequest> tiles) {
    std::stable_sort(tiles.begin(), tiles.end(), [](const TileRequest& a, const TileRequest& b) {
        return a.priority < b.priority;
    });
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        std::vector<bool> keep(running_.size(), false);
        for (auto& t : tiles) {
            bool isRunning = false;
            for (size_t i = 0; i < running_.size(); ++i) {
                if (running_[i]->req.key == t.key && running_[i]->docGeneration == docGeneration_) {
                    keep[i] = true;
                    isRunning = true;
                }
            }
            if (isRunning) continue;
            auto job = std::make_shared<Job>();
            job->req = t;
            job->docGeneration = docGeneration_;
            queue_.push_back(std::move(job));
        }
        for (size_t i = 0; i < running_.size(); ++i) {
            if (!keep[i]) running_[i]->abort = true;
        }
    }
    wake_.notify_all();
}

int TileRenderer::Pending() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(queue_.size() + running_.size());
}

void TileRenderer::WorkerLoop(Worker* w) {
    for (;;) {
        std::shared_ptr<Job> job;
        QString path;
        uint64_t gen = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = queue_.front();
            queue_.pop_front();
            running_.push_back(job);
            path = path_;
            gen = docGeneration_;
        }
        QImage image;
        if (job->docGeneration == gen && !path.isEmpty()) {
            if (!w->doc || w->docGeneration != gen) {
                w->doc = Poppler::Document::load(path);
                w->docGeneration = gen;
                if (w->doc) {
                    w->doc->setRenderHint(Poppler::Document::Antialiasing, true);
                    w->doc->setRenderHint(Poppler::Document::TextAntialiasing, true);
                    w->doc->setRenderHint(Poppler::Document::TextHinting, true);
                    // Comments are drawn by the widget from the annotation model.
                    w->doc->setRenderHint(Poppler::Document::HideAnnotations, true);
                }
            }
            if (w->doc && job->req.key.page < w->doc->numPages()) {
                std::unique_ptr<Poppler::Page> page = w->doc->page(job->req.key.page);
                if (page && !job->abort) {
                    const double dpi = job->req.key.zoomKey / 1000.0 * 72.0;
                    const QRect& r = job->req.pixels;
                    image = page->renderToImage(
                        dpi, dpi, r.x(), r.y(), r.width(), r.height(),
                        PopplerRotation(job->req.key.rotation), nullptr, nullptr, &ShouldAbort,
                        QVariant::fromValue(reinterpret_cast<quintptr>(&job->abort)));
                }
            }
        }
        bool idle = false;
        bool deliver = false;
        {
            std::lock_guard lock(mutex_);
            running_.erase(std::find(running_.begin(), running_.end(), job));
            deliver = !job->abort && !image.isNull() && job->docGeneration == docGeneration_;
            idle = queue_.empty() && running_.empty();
            if (stopping_) return;
        }
        const TileKey key = job->req.key;
        const QRect pixels = job->req.pixels;
        const uint64_t generation = job->docGeneration;
        // Queued: the GUI thread takes the image when it gets to it; we never wait for it.
        QMetaObject::invokeMethod(
            this,
            [this, key, pixels, generation, image = std::move(image), deliver, idle]() {
                if (deliver && generation == guiGeneration_) emit TileReady(key, pixels, image);
                if (idle) emit Idle();
            },
            Qt::QueuedConnection);
    }
}

}  // namespace quill::widget
