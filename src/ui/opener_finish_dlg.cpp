#include "ui/opener_finish_dlg.h"

#include <QPainter>
#include <QTabBar>

#include "ui/patcp_tab_dlg.h"
#include "widgets/art_ids.h"
#include "widgets/artwork.h"
#include "widgets/hover_button.h"

namespace quill::ui {

COpenerFinishDlg::COpenerFinishDlg(FinishDialogContext context, QWidget* parent)
    : ShapedDialog(ArtId::InitiatorFinishBackground, kOkPos, parent), context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Closed"));
    // Each page has its own OK; the frame's own OK button is not part of this dialog.
    OkButton()->hide();

    tabControl_ = new QWidget(this);
    tabControl_->setGeometry(kTabRect);
    tabs_ = new QTabBar(tabControl_);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->addTab(QStringLiteral("  Participation  "));
    tabs_->addTab(QStringLiteral("  Consolidation   "));
    tabs_->setGeometry(0, 0, kTabRect.width(), kPageRect.top());

    participation_ = new CPatcpTabDlg(context_, tabControl_);
    participation_->setGeometry(kPageRect);
    connect(participation_, &CPatcpTabDlg::Finished, this, &COpenerFinishDlg::RunOk);

    if (context_.consolidationPage)
        consolidation_ = context_.consolidationPage(tabControl_, [this] { RunOk(); });
    if (!consolidation_) consolidation_ = new QWidget(tabControl_);
    consolidation_->setParent(tabControl_);
    consolidation_->setGeometry(kPageRect);

    connect(tabs_, &QTabBar::currentChanged, this, &COpenerFinishDlg::ShowPage);
    tabs_->setCurrentIndex(0);
    ShowPage(0);
}

void COpenerFinishDlg::ShowPage(int index) {
    QWidget* shown = index == 1 ? consolidation_ : static_cast<QWidget*>(participation_);
    QWidget* hidden = index == 1 ? static_cast<QWidget*>(participation_) : consolidation_;
    hidden->hide();
    shown->setGeometry(kPageRect);
    shown->show();
}

void COpenerFinishDlg::RunOk() { accept(); }

void COpenerFinishDlg::PaintOver(QPainter& painter) {
    painter.drawPixmap(15, 10, Artwork(ArtId::FinishDialogIcon, devicePixelRatioF()));
    DrawTextIn(painter, Box(47, 18, 150, 130), QStringLiteral("Closed"), role_style::TitleFont(),
               role_style::kTitleColour);
}

}  // namespace quill::ui
