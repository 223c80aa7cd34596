// The main window's title: product, site and reviewer.
#pragma once
#include "ui/ui_names.h"

#include <QString>

namespace quill::app {
struct LaunchParams;
}

namespace quill::ui {

// "Ostrel Lumaro  %s - %s(%s)" of SITEUSENM, USERKNM and USERID.
QString MainWindowTitle(const LaunchParams& params);

}  // namespace quill::ui
