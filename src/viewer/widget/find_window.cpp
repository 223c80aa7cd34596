#include "viewer/widget/find_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "viewer/widget/text_search.h"

namespace quill::widget {

FindWindow::FindWindow(PdfViewerWidget& viewer)
    : QWidget(viewer.window(), Qt::Tool), viewer_(viewer) {
    setObjectName("FindTool");
    setWindowTitle("FindTool");
    search_ = new TextSearch(this);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    text_ = new QLineEdit(this);
    text_->setObjectName("FindText");
    text_->setPlaceholderText(tr("Find text"));
    auto* prev = new QPushButton(tr("Previous"), this);
    prev->setObjectName("FindPrevious");
    auto* next = new QPushButton(tr("Next"), this);
    next->setObjectName("FindNext");
    row->addWidget(text_, 1);
    row->addWidget(prev);
    row->addWidget(next);
    layout->addLayout(row);
    auto* row2 = new QHBoxLayout;
    matchCase_ = new QCheckBox(tr("Match case"), this);
    status_ = new QLabel(this);
    row2->addWidget(matchCase_);
    row2->addStretch();
    row2->addWidget(status_);
    layout->addLayout(row2);
    resize(360, sizeHint().height());

    connect(text_, &QLineEdit::returnPressed, this, &FindWindow::FindNext);
    connect(next, &QPushButton::clicked, this, &FindWindow::FindNext);
    connect(prev, &QPushButton::clicked, this, &FindWindow::FindPrevious);
    connect(search_, &TextSearch::PageHits, this, [this](int page, const QList<QRectF>& rects) {
        for (const QRectF& r : rects) {
            hits_.push_back({page, engine::RectF{r.left(), r.top(), r.right(), r.bottom()}});
        }
        // The first hit shows as soon as it is found.
        if (current_ < 0 && !hits_.empty() && pendingStep_ != 0) {
            current_ = pendingStep_ > 0 ? 0 : -1;
            if (current_ >= 0) {
                pendingStep_ = 0;
                viewer_.SetFindHits(hits_, current_);
                viewer_.ShowFindHit(hits_[current_]);
            }
        }
        viewer_.SetFindHits(hits_, current_);
        UpdateStatus();
    });
    connect(search_, &TextSearch::Finished, this, [this] {
        if (pendingStep_ < 0 && !hits_.empty()) {
            current_ = static_cast<int>(hits_.size()) - 1;
            viewer_.SetFindHits(hits_, current_);
            viewer_.ShowFindHit(hits_[current_]);
        }
        pendingStep_ = 0;
        UpdateStatus();
        emit SearchFinished(static_cast<int>(hits_.size()));
    });
}

FindWindow::~FindWindow() { search_->Stop(); }

bool FindWindow::Searching() const { return search_->Running(); }

void FindWindow::StartSearch() {
    searched_ = text_->text();
    searchedCase_ = matchCase_->isChecked();
    hits_.clear();
    current_ = -1;
    viewer_.SetFindHits({}, -1);
    std::vector<engine::PageGeometry> pages;
    auto& engine = viewer_.Engine();
    for (int i = 0; i < engine.PageCount(); ++i) pages.push_back(engine.PageGeometryOf(i));
    search_->Start(engine.IsOpen() ? QString::fromStdString(engine.FilePath()) : QString(), pages,
                   searched_, searchedCase_);
    UpdateStatus();
}

void FindWindow::FindNext() { Step(1); }

void FindWindow::FindPrevious() { Step(-1); }

void FindWindow::Step(int by) {
    if (text_->text() != searched_ || matchCase_->isChecked() != searchedCase_) {
        pendingStep_ = by;
        StartSearch();
        return;
    }
    if (hits_.empty()) {
        if (search_->Running()) pendingStep_ = by;
        UpdateStatus();
        return;
    }
    const int n = static_cast<int>(hits_.size());
    current_ = current_ < 0 ? (by > 0 ? 0 : n - 1) : ((current_ + by) % n + n) % n;
    viewer_.SetFindHits(hits_, current_);
    viewer_.ShowFindHit(hits_[current_]);
    UpdateStatus();
}

void FindWindow::UpdateStatus() {
    if (searched_.isEmpty()) {
        status_->clear();
    } else if (hits_.empty()) {
        status_->setText(search_->Running() ? tr("Searching...") : tr("Not found"));
    } else {
        status_->setText(tr("%1 of %2").arg(current_ + 1).arg(hits_.size()));
    }
}

}  // namespace quill::widget
