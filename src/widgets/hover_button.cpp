#include "widgets/hover_button.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <array>

#include "widgets/arial_font.h"
#include "widgets/picture_source.h"

namespace quill::widgets {

namespace {

// Pictures of the current sub-tool of the drawing (group 0) and measuring (group 1) buttons.
constexpr std::array<int, 8> kDrawingSubToolPictures = {186, 184, 188, 193, 185, 192, 191, 189};
constexpr std::array<int, 3> kMeasuringSubToolPictures = {187, 190, 183};
// Second overlays by picture index.
constexpr std::array<int, 4> kSecondOverlayPictures = {224, 225, 226, 282};

const QColor kFlatBorder(0x5A, 0x5A, 0x5A);
const QColor kFlatFace(0xE6, 0xE6, 0xE6);
const QColor kLabelColour(0x5A, 0x5A, 0x5A);

template <size_t N>
int InTable(int index, const std::array<int, N>&) {
    return index >= 0 && static_cast<size_t>(index) < N ? index : 0;
}

}  // namespace

CHoverButton::CHoverButton(QWidget* parent) : QAbstractButton(parent) {
    holdTimer_.setSingleShot(true);
    holdTimer_.setInterval(kDefaultHoldMs);
    connect(&holdTimer_, &QTimer::timeout, this, &CHoverButton::OnHoldTimer);
    setFocusPolicy(Qt::StrongFocus);
}

void CHoverButton::LoadStrip(const QPixmap& strip) {
    strip_ = strip;
    // Cells are measured in device-independent pixels, so a 2x strip gives the same button.
    const QSizeF size = strip.deviceIndependentSize();
    cellSize_ = QSize(static_cast<int>(size.width()) / 4, static_cast<int>(size.height()));
    // resize() keeps the position and the place among the siblings.
    resize(cellSize_);
    updateGeometry();
    update();
}

void CHoverButton::LoadStrip(int bitmapId) { LoadStrip(Picture(bitmapId)); }

QSize CHoverButton::sizeHint() const { return cellSize_.isEmpty() ? QSize(31, 28) : cellSize_; }

void CHoverButton::SetToolTipText(const QString& text) { tipText_ = text; }

QString CHoverButton::WrappedToolTip() const {
    QStringList lines;
    const QFont font = QToolTip::font();
    for (const QString& paragraph : tipText_.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(kMaxTipWidth);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
            any = true;
        }
        layout.endLayout();
        if (!any) lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

void CHoverButton::SetPictureIndex(int index) {
    pictureIndex_ = InTable(index, kSecondOverlayPictures);
}

void CHoverButton::SetDrawingSubTool(int subTool) {
    drawingSubTool_ = InTable(subTool, kDrawingSubToolPictures);
}

void CHoverButton::SetMeasuringSubTool(int subTool) {
    measuringSubTool_ = InTable(subTool, kMeasuringSubToolPictures);
}

void CHoverButton::SetHandCursor(bool on) {
    handCursor_ = on;
    if (on)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CHoverButton::SetLabel(bool on, const QString& text, bool centred) {
    label_ = on;
    labelText_ = text;
    labelCentred_ = centred;
}

int CHoverButton::BackgroundCell() const {
    if (toggleMode_) return toggleState_ ? kHover : kNormal;
    if (flat_) return -1;
    if (selected_) return kSelected;
    if (isDown()) return kPressed;
    return hover_ ? kHover : kNormal;
}

int CHoverButton::SubToolPicture() const {
    if (!dropDown_) return 0;
    if (group_ == 0)
        return kDrawingSubToolPictures[InTable(drawingSubTool_, kDrawingSubToolPictures)];
    if (group_ == 1)
        return kMeasuringSubToolPictures[InTable(measuringSubTool_, kMeasuringSubToolPictures)];
    return 0;
}

int CHoverButton::SecondOverlayPicture() const {
    return secondOverlay_ ? kSecondOverlayPictures[InTable(pictureIndex_, kSecondOverlayPictures)]
                          : 0;
}

QString CHoverButton::CountText(int count) {
    return count > 9 ? QStringLiteral("9+") : QString::number(count);
}

void CHoverButton::DrawCell(QPainter& painter, int cell) const {
    if (strip_.isNull() || cellSize_.isEmpty()) return;
    const qreal dpr = strip_.devicePixelRatio();
    const QRectF source(cell * cellSize_.width() * dpr, 0, cellSize_.width() * dpr,
                        cellSize_.height() * dpr);
    painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(cellSize_)), strip_, source);
}

void CHoverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int cell = BackgroundCell();
    if (cell >= 0) {
        DrawCell(painter, cell);
    } else {
        const QSize box = cellSize_.isEmpty() ? size() : cellSize_;
        painter.fillRect(QRect(QPoint(0, 0), box), kFlatBorder);
        painter.fillRect(QRect(QPoint(1, 1), box - QSize(2, 2)), kFlatFace);
    }

    if (label_) {
        painter.setFont(ArialPixelFont(16, 400));
        painter.setPen(kLabelColour);
        const QRect area = labelCentred_ ? QRect(QPoint(0, 5), QPoint(width() - 1, height() - 1))
                                         : QRect(QPoint(0, 4), QPoint(width() - 11, height() - 1));
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, labelText_);
    }

    if (overlayId_ != 0) painter.drawPixmap(0, 0, Picture(overlayId_));
    if (const int sub = SubToolPicture()) painter.drawPixmap(0, 0, Picture(sub));
    if (const int second = SecondOverlayPicture()) painter.drawPixmap(0, 2, Picture(second));

    if (count_ != 0) {
        painter.setFont(ArialPixelFont(13, 600));
        painter.setPen(Qt::white);
        painter.drawText(QRect(QPoint(23, 6), QPoint(37, 16)),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         CountText(count_));
    }
}

bool CHoverButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (tipText_.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), WrappedToolTip(), this, rect());
        return true;
    }
    return QAbstractButton::event(event);
}

void CHoverButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CHoverButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        arrowHit_ = event->position().x() >= width() - kArrowWidth;
        menuOpened_ = false;
        if (dropDown_) holdTimer_.start();
    }
    QAbstractButton::mousePressEvent(event);
}

void CHoverButton::OnHoldTimer() {
    if (!dropDown_) return;
    // The menu takes over the press: the release must not click the button as well (the click
    // would re-select the remembered sub-tool over the menu's choice), and the button must not
    // stay drawn pressed behind the menu.
    menuOpened_ = true;
    setDown(false);
    update();
    emit ToolMenuRequested(group_);
}

void CHoverButton::mouseMoveEvent(QMouseEvent* event) {
    // After the menu opened, moving back onto the button must not press it again.
    if (menuOpened_) {
        event->accept();
        return;
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CHoverButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        holdTimer_.stop();
        if (menuOpened_ || swallowButtonUp_) {
            menuOpened_ = false;
            setDown(false);
            update();
            event->accept();
            return;
        }
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CHoverButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F1:
        case Qt::Key_F4:
            event->accept();
            return;
        case Qt::Key_Escape:
            event->accept();
            emit HandToolRequested();
            return;
        default:
            QAbstractButton::keyPressEvent(event);
    }
}

}  // namespace quill::widgets
