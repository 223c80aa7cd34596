// Text between the control (system code page) and Qt widgets (QString).
#pragma once
#include "viewer/widget/widget_names.h"

#include <QString>
#include <string>

namespace quill::widget {

QString FromAnsi(const std::string& ansi);
std::string ToAnsi(const QString& text);

}  // namespace quill::widget
