#include "ui/shaped_dialog.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/arial_font.h"
#include "widgets/artwork.h"
#include "widgets/hover_button.h"

namespace quill::ui {

namespace role_style {
QFont TitleFont() { return ArialPixelFont(17, 700); }
QFont BodyFont() { return ArialPixelFont(14, 400); }
}  // namespace role_style

namespace {
bool IsPureRed(QRgb pixel) {
    return qAlpha(pixel) == 255 && qRed(pixel) == 255 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
}
}  // namespace

ShapedDialog::ShapedDialog(int backgroundId, QPoint okPos, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint) {
    // The window's own pixels are the picture's at one to one: the shape must match what the
    // user sees, so it is taken from the 1x picture.
    background_ = Artwork(backgroundId, 1.0);
    const QSize size = ArtworkSize(backgroundId);
    setFixedSize(size);
    shape_ = RegionWithoutRed(background_.toImage());
    setMask(shape_);

    close_ = new CHoverButton(this);
    close_->LoadStrip(Artwork(ArtId::CloseButton, devicePixelRatioF()));
    close_->move(kClosePos);
    connect(close_, &QAbstractButton::clicked, this, &QDialog::reject);

    ok_ = new CHoverButton(this);
    ok_->LoadStrip(Artwork(ArtId::OkButton, devicePixelRatioF()));
    ok_->move(okPos);
    connect(ok_, &QAbstractButton::clicked, this, [this] { RunOk(); });
}

QRegion ShapedDialog::RegionWithoutRed(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && IsPureRed(row[x])) ++x;
            const int start = x;
            while (x < image.width() && !IsPureRed(row[x])) ++x;
            if (x > start) region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

void ShapedDialog::DrawTextIn(QPainter& painter, const QRect& rect, const QString& text,
                              const QFont& font, const QColor& colour) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
}

void ShapedDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
    painter.setBackgroundMode(Qt::TransparentMode);
    PaintOver(painter);
}

void ShapedDialog::mousePressEvent(QMouseEvent* event) {
    // Any point of the dialog's own surface is its caption.
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void ShapedDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void ShapedDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

}  // namespace quill::ui
