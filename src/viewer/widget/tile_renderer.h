// TileRenderer: renders page tiles with poppler on worker threads, each worker with its own
// document, and hands the finished images to the GUI thread through a queued call.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quill::widget {

struct TileKey {
    int page = 0;
    int zoomKey = 0;   // zoom in thousandths of a pixel per point
    int rotation = 0;  // view quarter turns (poppler adds the page's own /Rotate)
    int col = 0;       // -1: a view tile (row numbers them), see TileCache
    int row = 0;
    bool operator==(const TileKey&) const = default;
};

size_t qHash(const TileKey& k, size_t seed = 0);

struct TileRequest {
    TileKey key;
    QRect pixels;      // the tile's rectangle in the page image at this zoom
    int priority = 0;  // lower first
};

class TileRenderer : public QObject {
    Q_OBJECT
public:
    explicit TileRenderer(QObject* parent = nullptr);
    ~TileRenderer() override;

    // Loads the document in every worker (lazily, on the worker). An empty path stops work.
    void SetDocument(const QString& path);
    // Replaces the queue with these tiles (most wanted first). Tiles being rendered that are
    // no longer wanted are aborted.
    void Request(std::vector<TileRequest> tiles);
    int Pending() const;
    static int WorkerCount();

signals:
    // pixels: where the image lies in the page image at the key's zoom.
    void TileReady(widget::TileKey key, QRect pixels, QImage image);
    // Emitted after a finished tile when nothing is queued or running any more.
    void Idle();

private:
    struct Job;
    struct Worker;
    void WorkerLoop(Worker* w);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::vector<std::shared_ptr<Job>> running_;
    std::vector<std::unique_ptr<Worker>> workers_;
    QString path_;
    uint64_t docGeneration_ = 0;
    uint64_t guiGeneration_ = 0;  // GUI thread only: drops tiles of a replaced document
    bool stopping_ = false;
};

}  // namespace quill::widget

Q_DECLARE_METATYPE(quill::widget::TileKey)
