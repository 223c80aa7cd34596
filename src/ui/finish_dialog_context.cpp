#include "ui/finish_dialog_context.h"

#include <QString>

#include "app/comment_index.h"
#include "app/launch_params.h"
#include "platform/code_page.h"
#include "review/review_client.h"
#include "ui/opener_finish_dlg.h"
#include "ui/patcp_finish_dlg.h"

namespace quill::ui {

QString FinishNotice(const std::string& squadDocNo) {
    return QStringLiteral("The review of other documents in the\n[ %1 ] is finished.")
        .arg(QString::fromStdString(platform::AnsiToUtf8(squadDocNo)));
}

bool RunAppFinishDialog(bool isOpener, QWidget* parent) {
    const ReviewClient client = AppReviewClient();
    ClientReviewSteps steps(client, AppCommentIndex());
    FinishDialogContext context;
    context.steps = &steps;
    context.prompter = &platform::Prompts();
    context.squadDocNo = AppLaunchParams().SQUADDOCNO;
    if (isOpener) {
        COpenerFinishDlg dialog(context, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    CPatcpFinishDlg dialog(context, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quill::ui
