#include "app/qt/startup_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/launch_params.h"
#include "platform/code_page.h"

namespace {
QString FromAnsi(const std::string& text) { return QString::fromStdString(platform::AnsiToUtf8(text)); }
}  // namespace

QString MainWindowTitle(const LaunchParams& params) {
    return FromAnsi("Ostrel Lumaro  " + params.SITEUSENM + " - " + params.USERKNM + "(" + params.USERID + ")");
}

StartupWindow::StartupWindow(const LaunchParams& params, QWidget* parent) : QWidget(parent) {
    setWindowTitle(MainWindowTitle(params));
    auto* layout = new QVBoxLayout(this);
    auto* doc = new QLabel(FromAnsi(params.SQUADDOCNO + "  " + params.SQUADDOCNM), this);
    QFont f = doc->font();
    f.setPointSize(14);
    f.setBold(true);
    doc->setFont(f);
    layout->addWidget(doc);
    layout->addWidget(new QLabel(FromAnsi("Reviewer: " + params.authorName), this));
    layout->addWidget(new QLabel(QStringLiteral("Review server: %1:%2")
                                     .arg(FromAnsi(params.HOST))
                                     .arg(params.PORT), this));
    layout->addStretch(1);
    resize(1024, 720);
}
