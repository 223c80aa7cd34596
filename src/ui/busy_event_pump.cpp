#include "ui/busy_event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace quill::ui {

void PumpBusyEvents(int ms) {
    if (ms <= 0) return;
    // A local loop rather than processEvents(maxtime): processEvents returns as soon as nothing
    // is pending, which would turn the wait into a busy spin or cut it short.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void PumpPendingBusyEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool PumpBusyEventsUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
    pollMs = std::max(pollMs, 1);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        int wait = pollMs;
        if (timeoutMs >= 0) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) return false;
            wait = static_cast<int>(std::min<qint64>(wait, left));
        }
        PumpBusyEvents(wait);
    }
    return true;
}

}  // namespace quill::ui
