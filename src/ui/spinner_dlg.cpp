#include "ui/spinner_dlg.h"

#include <QPainter>
#include <QPen>

#include <cmath>

#include "widgets/arial_font.h"

namespace quill::ui {

namespace {

const QColor kBackground(0x5B, 0x5B, 0x59);
const QColor kHatch(0x50, 0x50, 0x50);
const QColor kPlate(0x7E, 0x80, 0x8B);

}  // namespace

CSpinnerDlg::CSpinnerDlg(QWidget* parent) : QWidget(parent) {
    // The animation runs on the GUI thread: a paint from another thread is not possible in Qt,
    // and the wheel only has to turn while the GUI thread pumps events (see busy_event_pump.h).
    timer_.setInterval(kFrameMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CSpinnerDlg::Step);
    wheel_ = DrawWheelStrip();
    hide();
}

QPixmap CSpinnerDlg::DrawWheelStrip(qreal devicePixelRatio) {
    QPixmap strip(QSize(kFrames * kFrameSize, kFrameSize) * devicePixelRatio);
    strip.setDevicePixelRatio(devicePixelRatio);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int kSpokes = 12;
    constexpr double kPi = 3.14159265358979323846;
    for (int frame = 0; frame < kFrames; ++frame) {
        const QPointF centre(frame * kFrameSize + kFrameSize / 2.0, kFrameSize / 2.0);
        // The bright head walks a full circle in kFrames frames; the tail fades behind it.
        const double head = 360.0 * frame / kFrames;
        for (int spoke = 0; spoke < kSpokes; ++spoke) {
            const double angle = 360.0 * spoke / kSpokes;
            const double behind = std::fmod(head - angle + 720.0, 360.0);
            const double strength = std::max(0.22, 1.0 - behind / 360.0);
            const double radians = (angle - 90.0) * kPi / 180.0;
            const QPointF dir(std::cos(radians), std::sin(radians));
            QPen pen(QColor(255, 255, 255, static_cast<int>(255 * strength)));
            pen.setWidthF(2.6);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(centre + dir * 5.5, centre + dir * 10.5);
        }
    }
    return strip;
}

bool CSpinnerDlg::LoadWheel(const QPixmap& strip) {
    if (strip.deviceIndependentSize().toSize() != QSize(kFrames * kFrameSize, kFrameSize))
        return false;
    wheel_ = strip;
    update();
    return true;
}

QPoint CSpinnerDlg::WheelOrigin(QSize client) {
    const int cx = client.width() / 2;
    const int cy = client.height() / 2;
    return QPoint(cx - 98, cy - 12);
}

void CSpinnerDlg::SetText(const QString& text) {
    text_ = text;
    if (text.isEmpty()) {
        painted_ = false;
        running_ = false;
        timer_.stop();
        return;
    }
    // One timer whatever the number of calls: a second start only rewinds the wheel, and the
    // wheel waits for the paint that shows the new text.
    running_ = true;
    painted_ = false;
    shownFrame_ = 0;
    nextFrame_ = 0;
    timer_.start();
    update();
}

void CSpinnerDlg::Step() {
    if (!running_) {
        timer_.stop();
        return;
    }
    if (!painted_) return;
    shownFrame_ = nextFrame_;
    nextFrame_ = (nextFrame_ + 1) % kFrames;
    update(QRect(WheelOrigin(size()), QSize(kFrameSize, kFrameSize)));
}

void CSpinnerDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int cx = w / 2;
    const int cy = h / 2;

    painter.fillRect(rect(), kBackground);
    // The hatch rectangle has the default black pen as its border, as the drawing was made.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QBrush(kHatch, Qt::CrossPattern));
    painter.drawRect(QRect(0, 0, w - 1, h - 1));

    painter.setBrush(kPlate);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawRoundedRect(QRectF(cx - 108 + 0.5, cy - 21 + 0.5, 215 - 1, 42 - 1), 5, 5);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setFont(widgets::ArialPixelFont(15, 400));
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(cx - 26, cy - 7), QPoint(cx + 121, cy + 20)),
                     Qt::AlignLeft | Qt::AlignTop, text_);

    const qreal dpr = wheel_.devicePixelRatio();
    painter.drawPixmap(
        QRectF(WheelOrigin(size()), QSizeF(kFrameSize, kFrameSize)), wheel_,
        QRectF(shownFrame_ * kFrameSize * dpr, 0, kFrameSize * dpr, kFrameSize * dpr));
    painted_ = true;
}

}  // namespace quill::ui
