// Text between the control (system code page) and Qt widgets (QString).
#pragma once

#include <QString>
#include <string>

namespace viewer::widget {

QString FromAnsi(const std::string& ansi);
std::string ToAnsi(const QString& text);

}  // namespace viewer::widget
