// FindWindow: the viewer's find window ("FindTool"): searches the page text, marks every hit
// and steps through them.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QWidget>
#include <vector>

#include "viewer/widget/pdf_viewer_widget.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quill::widget {

class TextSearch;

class FindWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindWindow(PdfViewerWidget& viewer);
    ~FindWindow() override;

    QLineEdit* TextEdit() const { return text_; }
    // Starts a search for the text (or steps to the next hit when it is the same search).
    void FindNext();
    void FindPrevious();
    int HitCount() const { return static_cast<int>(hits_.size()); }
    int CurrentHit() const { return current_; }
    bool Searching() const;

signals:
    void SearchFinished(int hits);

private:
    void StartSearch();
    void Step(int by);
    void UpdateStatus();

    PdfViewerWidget& viewer_;
    TextSearch* search_ = nullptr;
    QLineEdit* text_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QLabel* status_ = nullptr;
    QString searched_;
    bool searchedCase_ = false;
    std::vector<FindHit> hits_;
    int current_ = -1;
    int pendingStep_ = 0;
};

}  // namespace quill::widget
