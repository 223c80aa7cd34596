#include "ui/main_window_title.h"
#include "ui/ui_names.h"

#include "app/launch_params.h"
#include "platform/code_page.h"

namespace quill::ui {

QString MainWindowTitle(const LaunchParams& params) {
    return QString::fromStdString(platform::AnsiToUtf8(
        "Ostrel Lumaro  " + params.SITEUSENM + " - " + params.USERKNM + "(" + params.USERID + ")"));
}

}  // namespace quill::ui
