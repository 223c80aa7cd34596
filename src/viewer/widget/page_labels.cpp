#include "viewer/widget/page_labels.h"

#include <poppler/qt6/poppler-qt6.h>

#include <memory>

namespace quill::widget {

namespace {

// A label longer than any sheet number is a damaged or hostile document's.
constexpr int kMaxLabelLength = 64;

}  // namespace

std::map<int, std::string> ReadPageLabels(const std::string& pdfPath) {
    std::map<int, std::string> labels;
    const std::unique_ptr<Poppler::Document> document =
        Poppler::Document::load(QString::fromStdString(pdfPath));
    if (!document || document->isLocked()) return labels;
    const int pages = document->numPages();
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page) continue;
        const QString label = page->label().trimmed().left(kMaxLabelLength);
        if (label.isEmpty() || label == QString::number(i + 1)) continue;
        labels[i] = label.toStdString();
    }
    return labels;
}

}  // namespace quill::widget
