// PageWords: the words of pages (one quad each, reading order, page space), read with
// poppler on a worker thread so that a dense page never stalls the GUI thread; results come
// back through a queued call.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "viewer/engine/page_geometry.h"

namespace quill::widget {

class PageWords : public QObject {
    Q_OBJECT
public:
    explicit PageWords(QObject* parent = nullptr);
    ~PageWords() override;

    // Forgets every page and reads from this document from now on (empty: none).
    void SetDocument(const QString& path, std::vector<engine::PageGeometry> pages);
    // The page's words when they are read; otherwise asks for them and answers nullptr.
    const std::vector<engine::Quad>* Words(int page);
    void Prefetch(int page) { Words(page); }

signals:
    void Ready(int page);

private:
    void Loop();

    std::map<int, std::vector<engine::Quad>> done_;  // GUI thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<int> queue_;
    std::vector<int> asked_;  // GUI thread only
    QString path_;
    std::vector<engine::PageGeometry> pages_;
    uint64_t generation_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace quill::widget
