#include "viewer/widget/ansi_text.h"

#include "platform/code_page.h"

namespace quill::widget {

QString FromAnsi(const std::string& ansi) {
    return QString::fromStdString(platform::AnsiToUtf8(ansi));
}

std::string ToAnsi(const QString& text) { return platform::Utf8ToAnsi(text.toStdString()); }

}  // namespace quill::widget
