// TextSearch: finds a text on every page with poppler on a worker thread (its own document)
// and hands the hits, page by page, to the GUI thread.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "viewer/engine/page_geometry.h"

namespace quill::widget {

class TextSearch : public QObject {
    Q_OBJECT
public:
    explicit TextSearch(QObject* parent = nullptr);
    ~TextSearch() override;

    // Stops a running search and starts a new one. Hits are in page space.
    void Start(const QString& pdfPath, const std::vector<engine::PageGeometry>& pages,
               const QString& text, bool matchCase);
    void Stop();
    bool Running() const { return running_; }

signals:
    void PageHits(int page, const QList<QRectF>& rects);  // rects: x1, y1, x2, y2 in page space
    void Finished();

private:
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    bool running_ = false;
    uint64_t generation_ = 0;  // hits of an older search are dropped
};

}  // namespace quill::widget
