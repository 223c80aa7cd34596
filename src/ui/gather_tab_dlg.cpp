#include "ui/gather_tab_dlg.h"
#include "ui/ui_names.h"

#include <QPainter>

#include "session/engineer_index.h"
#include "ui/sr_list_box.h"
#include "ui/sr_list_box_summary_edit.h"
#include "widgets/arial_font.h"
#include "widgets/art_ids.h"
#include "widgets/hover_button.h"

namespace quill::ui {

namespace {
const QColor kNoticeColour(0xFF, 0x33, 0x00);
const QColor kLabelColour(0x18, 0x4B, 0x79);
}  // namespace

CGatherTabDlg::CGatherTabDlg(const LaunchParams& params, ConsolidationFlow::Parts parts,
                             std::function<void()> endWithOk, QWidget* parent)
    : QWidget(parent), params_(params) {
    EngineerIndex* engineers = parts.engineers ? parts.engineers : &AppEngineerIndex();
    list_ = new SRListBox(this, engineers, parts.prompter);
    list_->setGeometry(15, 15, 263, 90);
    list_->SetSingleSelection(true);
    summary_ = new SRSummaryEdit(list_, this);
    summary_->setGeometry(15, 130, 263, 40);
    summary_->setEnabled(false);
    ok_ = new widgets::CHoverButton(this);
    ok_->LoadStrip(widgets::ArtId::OkButton);
    ok_->setGeometry(211, 177, 66, 29);
    ok_->SetHandCursor(true);
    publish_ = new QCheckBox(this);
    publish_->setGeometry(15, 185, 14, 14);
    publish_->setVisible(params_.gatherMode);

    connect(list_, &QListWidget::itemSelectionChanged, this, &CGatherTabDlg::OnSelectionChanged);
    connect(list_, &SRListBox::SummaryTargetMissing, this,
            [this] { summary_->SetTextQuietly(QString()); });
    connect(ok_, &QAbstractButton::clicked, this, [this] { RunOk(); });

    parts.params = &params_;
    parts.engineers = engineers;
    parts.finishDialogOk = std::move(endWithOk);
    // The flow runs with its buttons off: a second OK or a close in the middle would merge or
    // upload twice.
    parts.setControlsEnabled = [this](bool enabled) {
        ok_->setEnabled(enabled);
        if (QWidget* dialog = window(); dialog != this) {
            for (auto* button : dialog->findChildren<widgets::CHoverButton*>())
                if (button != ok_ && !isAncestorOf(button)) button->setEnabled(enabled);
        }
    };
    flow_ = std::make_unique<ConsolidationFlow>(std::move(parts));
}

CGatherTabDlg::~CGatherTabDlg() = default;

void CGatherTabDlg::Open() {
    if (opened_) return;
    opened_ = true;
    list_->clear();
    if (!flow_->LoadParticipants()) return;
    const std::vector<AuthorLine> lines = flow_->FillEngineerList();
    for (size_t i = 0; i < lines.size(); ++i)
        list_->AddEngineer(lines[i].author, static_cast<std::intptr_t>(i));
}

ConsolidationStop CGatherTabDlg::RunOk() {
    return flow_->FinishConsolidation(publish_->isVisible() && publish_->isChecked());
}

void CGatherTabDlg::OnSelectionChanged() {
    list_->UpdateData();
    summary_->FollowSelection();
}

void CGatherTabDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(widgets::ArialPixelFont(14, QFont::Normal));
    if (params_.gatherMode) {
        p.setPen(kNoticeColour);
        p.drawText(QRect(33, 183, 167, 34), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("The review comments\nare published."));
    }
    p.setPen(kLabelColour);
    p.drawText(QRect(15, 112, 265, 35), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Review Summary:"));
}

}  // namespace quill::ui
