#include "ui/finish_dialog_context.h"

#include <QString>

#include "platform/code_page.h"

namespace quill::ui {

QString FinishNotice(const std::string& squadDocNo) {
    return QStringLiteral("The review of other documents in the\n[ %1 ] is finished.")
        .arg(QString::fromStdString(platform::AnsiToUtf8(squadDocNo)));
}

}  // namespace quill::ui
