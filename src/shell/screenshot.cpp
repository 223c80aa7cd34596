#include "shell/screenshot.h"
#include "shell/shell_names.h"

#include <QApplication>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace quill::shell {

namespace {
const char* ScreenshotPath() {
    const char* path = std::getenv("QUILLMARK_SCREENSHOT");
    return path && *path ? path : nullptr;
}
}  // namespace

bool ScreenshotAsked() { return ScreenshotPath() != nullptr; }

void TakeScreenshotNowIfAsked(QWidget* window) {
    const char* path = ScreenshotPath();
    if (!path || !window) return;
    QApplication::processEvents();
    bool ok = window->grab().save(QString::fromLocal8Bit(path), "PNG");
    QApplication::exit(ok ? 0 : 1);
}

void ScheduleScreenshotIfAsked(QWidget* window, int delayMs) {
    if (!ScreenshotPath()) return;
    QPointer<QWidget> guard(window);
    QTimer::singleShot(delayMs, window, [guard] { TakeScreenshotNowIfAsked(guard.data()); });
}

void ScreenshotFailed(const char* reason) {
    if (!ScreenshotPath()) return;
    std::fprintf(stderr, "No screenshot: %s\n", reason);
    QApplication::exit(1);
}

}  // namespace quill::shell
