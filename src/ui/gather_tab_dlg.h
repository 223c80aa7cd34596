// CGatherTabDlg: the "Consolidation" page of the initiator's finish dialog: the engineers who
// commented, a result summary for each, and the OK button that closes the review with its
// result document.
#pragma once
#include "ui/ui_names.h"

#include <QCheckBox>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/launch_params.h"
#include "session/consolidation_flow.h"

namespace quill::widgets {
class CHoverButton;
}

namespace quill::ui {

class SRListBox;
class SRSummaryEdit;

class CGatherTabDlg : public QWidget {
    Q_OBJECT
public:
    // parts: the flow's parts but params, engineers, finishDialogOk and setControlsEnabled,
    // which the page fills itself. params: copied; the flow cleans its document name in the copy.
    CGatherTabDlg(const LaunchParams& params, ConsolidationFlow::Parts parts,
                  std::function<void()> endWithOk, QWidget* parent = nullptr);
    ~CGatherTabDlg() override;

    // Loads the participants and fills the engineer list (the page's opening).
    void Open();
    // The OK button.
    ConsolidationStop RunOk();

    SRListBox* EngineerList() const { return list_; }
    SRSummaryEdit* SummaryEdit() const { return summary_; }
    QCheckBox* PublishBox() const { return publish_; }
    widgets::CHoverButton* OkButton() const { return ok_; }
    ConsolidationFlow& Flow() { return *flow_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnSelectionChanged();

    LaunchParams params_;
    std::unique_ptr<ConsolidationFlow> flow_;
    SRListBox* list_ = nullptr;
    SRSummaryEdit* summary_ = nullptr;
    widgets::CHoverButton* ok_ = nullptr;
    QCheckBox* publish_ = nullptr;
    bool opened_ = false;
};

}  // namespace quill::ui
